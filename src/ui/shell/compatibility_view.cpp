// The Compatibility view's widgets, filled once from the verdict on the sensor's firmware.
#include "ui/shell/compatibility_view.hpp"

#include <QBrush>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <span>

#include "link/compatibility_verdict.hpp"
#include "link/identity_commands.hpp"
#include "ui/common/list_columns.hpp"

namespace kelpira::ui {

namespace {

QTreeWidget* make_list(std::span<const link::ListColumn> columns, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setColumnCount(static_cast<int>(columns.size()));
    QStringList headers;
    for (const auto& column : columns) {
        headers << QString::fromUtf8(column.title.data(),
                                     static_cast<qsizetype>(column.title.size()));
    }
    list->setHeaderLabels(headers);
    return list;
}

void fill(QTreeWidget* list, std::span<const link::ListColumn> columns,
          const std::vector<CompatibilityView::Row>& rows) {
    for (const auto& row : rows) {
        auto* item = new QTreeWidgetItem(list, row.texts);
        for (int c = 0; c < row.texts.size(); ++c) {
            item->setForeground(c, QBrush(row.colour));
        }
    }
    // Widths are given in dialog base units, about one average character each.
    std::vector<int> widths;
    for (const auto& column : columns) {
        widths.push_back(column.width);
    }
    fit_columns(list, widths);
}

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QColor colour(link::Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

}  // namespace

CompatibilityView* CompatibilityView::create(link::SensorLink& link, common::Prompter& prompter) {
    link::FirmwareVersion version;
    if (link::get_firmware_version(link, version) != link::kResultSuccess) {
        prompter.message(std::string(link::kFirmwareUnreadableCaption),
                         std::string(link::kFirmwareUnreadableText));
        return nullptr;
    }
    const auto judged = link::judge_firmware(version.text);
    std::vector<Row> verdict;
    for (const auto& line : judged.verdict) {
        verdict.push_back({{text(line.text)}, colour(line.colour)});
    }
    std::vector<Row> releases;
    for (const auto& release : judged.table) {
        releases.push_back({{text(release.key), text(release.date), text(release.changes)},
                            colour(release.colour)});
    }
    return new CompatibilityView(verdict, releases);
}

CompatibilityView::CompatibilityView(const std::vector<Row>& verdict,
                                     const std::vector<Row>& releases, QWidget* parent)
    : QWidget(parent) {
    const std::span<const link::ListColumn> verdict_columns(&link::kVerdictColumn, 1);
    verdict_ = make_list(verdict_columns, this);
    releases_ = make_list(link::kReleaseColumns, this);
    fill(verdict_, verdict_columns, verdict);
    fill(releases_, link::kReleaseColumns, releases);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(verdict_, 1);
    layout->addWidget(releases_, 1);
}

}  // namespace kelpira::ui
