// The graphs' picture menu.
#include "ui/graph/graph_image_menu.hpp"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "graph/graph_image_file.hpp"

namespace kelpira::ui {

QByteArray png_of(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void show_graph_image_menu(QWidget* parent, const QPoint& global, const QImage& image,
                           common::Prompter& prompter) {
    QMenu menu(parent);
    QAction* copy = menu.addAction(QStringLiteral("Copy Image"));
    QAction* save = menu.addAction(QStringLiteral("Save Image..."));
    // The picture as it is now: later redraws do not change what is copied or saved.
    const QImage shown = image.copy();
    QAction* chosen = menu.exec(global);
    if (chosen == copy) {
        QGuiApplication::clipboard()->setImage(shown);
    } else if (chosen == save) {
        const QByteArray png = png_of(shown);
        graph::save_graph_image(prompter, {reinterpret_cast<const std::uint8_t*>(png.constData()),
                                           static_cast<std::size_t>(png.size())});
    }
}

}  // namespace kelpira::ui
