// The graphs' picture menu: "Copy Image" to the clipboard and "Save Image..." as a PNG file.
#pragma once

#include <QImage>
#include <QPoint>

#include "common/prompter.hpp"

class QWidget;

namespace kelpira::ui {

// Shows the menu at `global` for the picture `image` as shown.
void show_graph_image_menu(QWidget* parent, const QPoint& global, const QImage& image,
                           common::Prompter& prompter);

// The picture PNG-encoded.
QByteArray png_of(const QImage& image);

}  // namespace kelpira::ui
