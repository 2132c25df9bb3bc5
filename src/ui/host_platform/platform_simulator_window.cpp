// The "Platform Simulator" window: reads the form into the settings when an action starts,
// shows what the controller's workers report, and enables the form by platform type.
#include "ui/host_platform/platform_simulator_window.hpp"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <vector>

#include "common/number_scan.hpp"
#include "host_platform/serial_port.hpp"
#include "ui/common/list_columns.hpp"

namespace kelpira::ui {

namespace {

using namespace host_platform;

constexpr const char* kDiveNumber = "Dive Number";
constexpr const char* kMinDepth = "Min Depth (m)";
constexpr const char* kMaxDepth = "Max Depth (m)";
constexpr const char* kDiveRate = "Dive Rate (cm/s)";
constexpr const char* kClimbRate = "Climb Rate (cm/s)";
constexpr const char* kSalinity = "Salinity (PSU)";
constexpr const char* kTemperature = "Temperature (°C)";
constexpr const char* kP1 = "P1";
constexpr const char* kP2 = "P2";
constexpr const char* kP3 = "P3";
constexpr const char* kUpdateInterval = "Update Interval (s)";
constexpr const char* kSampleInterval = "Sample Interval (s)";
constexpr const char* kSlaveAddress = "Slave Address";

// The port list is read again each time it opens, so sensors started since show up.
class PortBox : public QComboBox {
  public:
    using QComboBox::QComboBox;
    std::function<void()> before_popup;
    void showPopup() override {
        if (before_popup) {
            before_popup();
        }
        QComboBox::showPopup();
    }
};

template <typename T, std::size_t N>
QComboBox* choice_box(const std::array<Choice<T>, N>& choices, QWidget* parent) {
    auto* box = new QComboBox(parent);
    for (const auto& c : choices) {
        box->addItem(QString::fromUtf8(c.text.data(), static_cast<int>(c.text.size())));
    }
    return box;
}

template <typename T, std::size_t N>
int index_of(const std::array<Choice<T>, N>& choices, T value) {
    const auto it = std::find_if(choices.begin(), choices.end(),
                                 [&](const Choice<T>& c) { return c.value == value; });
    return it == choices.end() ? 0 : static_cast<int>(it - choices.begin());
}

template <typename T, std::size_t N>
T value_at(const std::array<Choice<T>, N>& choices, int index) {
    return choices[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(N) - 1))].value;
}

// A typed whole number; what is not one reads as 0, as the dialog's integer fields do.
std::int64_t whole(const QLineEdit* e) {
    return common::whole_number(e->text().toStdString()).value_or(0);
}

std::int32_t int32(const QLineEdit* e) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(whole(e), std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

double real(const QLineEdit* e) {
    const auto scanned = common::scan_f64(e->text().toStdString());
    return scanned.ok ? scanned.value : 0;
}

QString fixed(double v, const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, v);
    return QString::fromLatin1(text);
}

}  // namespace

PlatformSimulatorWindow::PlatformSimulatorWindow(common::Prompter& prompter, QWidget* parent,
                                                 SimulatorHooks hooks)
    : QDialog(parent), prompter_(prompter), handoff_(this) {
    SimulatorEvents events;
    // The controller's events may outlive the window: they reach it through the hand-off.
    const auto handoff = handoff_;
    events.status = [handoff](const std::string& text) {
        handoff.post([text](PlatformSimulatorWindow& w) {
            w.status_->setText(QString::fromStdString(text));
            emit w.reported();
        });
    };
    events.clear_rows = [handoff] {
        handoff.post([](PlatformSimulatorWindow& w) { w.results_->clear(); });
    };
    events.add_row = [handoff](const ResultRow& row) {
        handoff.post([row](PlatformSimulatorWindow& w) { w.add_row(row); });
    };
    events.download_finished = [handoff](std::uint64_t session, bool) {
        handoff.post([session](PlatformSimulatorWindow& w) {
            w.controller_->download_ended(session);
            w.show_enabling();
            emit w.reported();
        });
    };
    controller_ = std::make_unique<PlatformSimulatorController>(prompter_, std::move(events),
                                                                std::move(hooks));
    build();
    list_ports();
    show_form();
    show_enabling();
}

PlatformSimulatorWindow::~PlatformSimulatorWindow() {
    handoff_.close();
    controller_.reset();  // stops a running session and closes the port
}

QLineEdit* PlatformSimulatorWindow::field(const char* label) const {
    const auto it = fields_.find(label);
    return it == fields_.end() ? nullptr : it->second;
}

void PlatformSimulatorWindow::build() {
    setWindowTitle("Platform Simulator");
    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    layout->addLayout(groups);

    auto* data_group = new QGroupBox("Simulated Platform Data", this);
    auto* data_form = new QFormLayout(data_group);
    auto add_field = [this](QFormLayout* form, const char* label) {
        auto* edit = new QLineEdit(form->parentWidget());
        form->addRow(QString::fromUtf8(label), edit);
        fields_[label] = edit;
    };
    platform_type_ = choice_box(kPlatformTypes, data_group);
    data_form->addRow("Platform Type", platform_type_);
    add_field(data_form, kDiveNumber);
    direction_ = choice_box(kDirections, data_group);
    data_form->addRow("Direction", direction_);
    for (const char* label : {kMinDepth, kMaxDepth, kDiveRate, kClimbRate, kSalinity, kTemperature,
                              kP1, kP2, kP3, kUpdateInterval}) {
        add_field(data_form, label);
    }
    sampling_ = new QCheckBox("Enable Sampling", data_group);
    data_form->addRow(sampling_);
    add_field(data_form, kSampleInterval);
    groups->addWidget(data_group);

    serial_group_ = new QGroupBox(this);
    auto* serial_form = new QFormLayout(serial_group_);
    auto* ports = new PortBox(serial_group_);
    ports->setEditable(true);  // any device path may be typed
    ports->before_popup = [this] { list_ports(); };
    port_ = ports;
    serial_form->addRow("Port", port_);
    override_ = new QCheckBox("Override Settings", serial_group_);
    serial_form->addRow(override_);
    baud_ = choice_box(kBaudRates, serial_group_);
    serial_form->addRow("Baud Rate", baud_);
    data_bits_ = choice_box(kDataBits, serial_group_);
    serial_form->addRow("Data Bits", data_bits_);
    stop_bits_ = choice_box(kStopBits, serial_group_);
    serial_form->addRow("Stop Bits", stop_bits_);
    parity_ = choice_box(kParities, serial_group_);
    serial_form->addRow("Parity", parity_);
    add_field(serial_form, kSlaveAddress);
    groups->addWidget(serial_group_, 0, Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton("Start", this);
    download_ = new QPushButton("Download", this);
    stop_ = new QPushButton("Stop", this);
    for (auto* b : {start_, download_, stop_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);

    results_ = new QTreeWidget(this);
    results_->setRootIsDecorated(false);
    results_->setUniformRowHeights(true);
    QStringList titles;
    std::vector<int> widths;
    for (const auto& c : kResultColumns) {
        titles << QString::fromUtf8(c.title.data(), static_cast<int>(c.title.size()));
        widths.push_back((c.width + 3) / 4);  // four horizontal base units to a character
    }
    results_->setHeaderLabels(titles);
    column_widths_ = widths;
    fit_columns(results_, column_widths_);
    results_->setMinimumHeight(results_->fontMetrics().height() * 12);
    layout->addWidget(results_, 1);

    status_ = new QLabel(this);
    status_->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(status_);

    connect(platform_type_, &QComboBox::currentIndexChanged, this,
            &PlatformSimulatorWindow::on_platform_type);
    connect(direction_, &QComboBox::currentIndexChanged, this,
            &PlatformSimulatorWindow::on_direction);
    connect(sampling_, &QCheckBox::toggled, this, [this](bool on) {
        sim_.enable_sampling = on;
        show_enabling();
    });
    connect(override_, &QCheckBox::toggled, this, [this](bool on) {
        serial_.override_settings = on;
        show_enabling();
    });
    connect(baud_, &QComboBox::currentIndexChanged, this,
            [this](int i) { serial_.line.baud_rate = value_at(kBaudRates, i); });
    connect(data_bits_, &QComboBox::currentIndexChanged, this,
            [this](int i) { serial_.line.data_bits = value_at(kDataBits, i); });
    connect(stop_bits_, &QComboBox::currentIndexChanged, this,
            [this](int i) { serial_.line.stop_bits = value_at(kStopBits, i); });
    connect(parity_, &QComboBox::currentIndexChanged, this,
            [this](int i) { serial_.line.parity = value_at(kParities, i); });
    connect(start_, &QPushButton::clicked, this, [this] { on_start(false); });
    connect(download_, &QPushButton::clicked, this, [this] { on_start(true); });
    connect(stop_, &QPushButton::clicked, this, &PlatformSimulatorWindow::on_stop);
}

void PlatformSimulatorWindow::list_ports() {
    const QString chosen = port_->currentText();
    const QSignalBlocker quiet(port_);
    port_->clear();
    std::string unlisted;
    for (const auto& p : list_serial_ports(&unlisted)) {
        port_->addItem(QString::fromStdString(p));
    }
    // Why the virtual sensors' lines are missing, told where the simulator tells its state.
    if (!unlisted.empty() && !controller_->running()) {
        status_->setText(QString::fromStdString(unlisted));
    }
    if (!chosen.isEmpty()) {
        port_->setCurrentText(chosen);
    }
}

void PlatformSimulatorWindow::read_form() {
    const auto& f = fields_;
    sim_.dive_number = clamp_dive_number(whole(f.at(kDiveNumber)));
    sim_.min_depth = int32(f.at(kMinDepth));
    sim_.max_depth = int32(f.at(kMaxDepth));
    sim_.dive_rate = int32(f.at(kDiveRate));
    sim_.climb_rate = int32(f.at(kClimbRate));
    sim_.salinity = real(f.at(kSalinity));
    sim_.temperature = real(f.at(kTemperature));
    sim_.p1 = int32(f.at(kP1));
    sim_.p2 = int32(f.at(kP2));
    sim_.p3 = int32(f.at(kP3));
    sim_.update_interval = clamp_interval(whole(f.at(kUpdateInterval)));
    sim_.sample_interval = clamp_interval(whole(f.at(kSampleInterval)));
    serial_.slave_address = clamp_slave_address(whole(f.at(kSlaveAddress)));
    serial_.serial_port = port_->currentText().trimmed().toStdString();
}

void PlatformSimulatorWindow::show_form() {
    const auto& f = fields_;
    const std::vector<QObject*> quiet_objects{platform_type_, direction_, sampling_,  override_,
                                              baud_,          data_bits_, stop_bits_, parity_};
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (auto* o : quiet_objects) {
        quiet.push_back(std::make_unique<QSignalBlocker>(o));
    }
    platform_type_->setCurrentIndex(index_of(kPlatformTypes, sim_.platform_type));
    direction_->setCurrentIndex(index_of(kDirections, sim_.direction));
    f.at(kDiveNumber)->setText(QString::number(sim_.dive_number));
    f.at(kMinDepth)->setText(QString::number(sim_.min_depth));
    f.at(kMaxDepth)->setText(QString::number(sim_.max_depth));
    f.at(kDiveRate)->setText(QString::number(sim_.dive_rate));
    f.at(kClimbRate)->setText(QString::number(sim_.climb_rate));
    f.at(kSalinity)->setText(fixed(sim_.salinity, "%.2f"));
    f.at(kTemperature)->setText(fixed(sim_.temperature, "%.3f"));
    f.at(kP1)->setText(QString::number(sim_.p1));
    f.at(kP2)->setText(QString::number(sim_.p2));
    f.at(kP3)->setText(QString::number(sim_.p3));
    f.at(kUpdateInterval)->setText(QString::number(sim_.update_interval));
    f.at(kSampleInterval)->setText(QString::number(sim_.sample_interval));
    sampling_->setChecked(sim_.enable_sampling);
    serial_group_->setTitle(QString::fromUtf8(serial_group_caption(sim_.platform_type).data()));
    override_->setChecked(serial_.override_settings);
    baud_->setCurrentIndex(index_of(kBaudRates, serial_.line.baud_rate));
    data_bits_->setCurrentIndex(index_of(kDataBits, serial_.line.data_bits));
    stop_bits_->setCurrentIndex(index_of(kStopBits, serial_.line.stop_bits));
    parity_->setCurrentIndex(index_of(kParities, serial_.line.parity));
    f.at(kSlaveAddress)->setText(QString::number(serial_.slave_address));
}

void PlatformSimulatorWindow::show_enabling() {
    const FormEnabling e = form_enabling(sim_, serial_, running());
    const auto& f = fields_;
    platform_type_->setEnabled(e.platform_type);
    f.at(kDiveNumber)->setEnabled(e.dive_number);
    for (const char* p : {kP1, kP2, kP3}) {
        f.at(p)->setEnabled(e.p_values);
    }
    direction_->setEnabled(e.direction);
    f.at(kMinDepth)->setEnabled(e.min_depth);
    f.at(kMaxDepth)->setEnabled(e.max_depth);
    f.at(kDiveRate)->setEnabled(e.dive_rate);
    f.at(kClimbRate)->setEnabled(e.climb_rate);
    f.at(kSalinity)->setEnabled(e.salinity);
    f.at(kTemperature)->setEnabled(e.temperature);
    f.at(kUpdateInterval)->setEnabled(e.update_interval);
    sampling_->setEnabled(e.enable_sampling);
    f.at(kSampleInterval)->setEnabled(e.sample_interval);
    port_->setEnabled(e.serial_port);
    override_->setEnabled(e.override_settings);
    for (auto* box : {baud_, data_bits_, stop_bits_, parity_}) {
        box->setEnabled(e.line_settings);
    }
    f.at(kSlaveAddress)->setEnabled(e.slave_address);
    start_->setEnabled(e.start);
    download_->setEnabled(e.download);
    stop_->setEnabled(e.stop);
}

void PlatformSimulatorWindow::on_platform_type(int index) {
    read_form();
    choose_platform_type(value_at(kPlatformTypes, index), sim_, serial_);
    show_form();
    show_enabling();
}

void PlatformSimulatorWindow::on_direction(int index) {
    read_form();
    choose_direction(value_at(kDirections, index), sim_);
    show_form();
    show_enabling();
}

void PlatformSimulatorWindow::on_start(bool download) {
    read_form();
    show_form();
    if (download) {
        controller_->download(sim_, serial_);
    } else {
        controller_->start(sim_, serial_);
    }
    show_enabling();
}

void PlatformSimulatorWindow::on_stop() {
    controller_->stop();
    show_enabling();
}

void PlatformSimulatorWindow::add_row(const ResultRow& row) {
    if (adding_drops_oldest(static_cast<std::size_t>(results_->topLevelItemCount()))) {
        delete results_->takeTopLevelItem(0);
    }
    QStringList cells;
    for (const auto& cell : row) {
        cells << QString::fromStdString(cell);
    }
    auto* item = new QTreeWidgetItem(results_, cells);
    if (results_->topLevelItemCount() == 1) {
        fit_columns(results_, column_widths_);  // wide enough for the texts rows carry
    }
    results_->scrollToItem(item);
    emit reported();
}

void PlatformSimulatorWindow::closeEvent(QCloseEvent* event) {
    if (!controller_->close()) {
        event->ignore();
        return;
    }
    show_enabling();
    event->accept();
}

void PlatformSimulatorWindow::reject() {
    close();  // Esc asks as the close box does
}

void open_platform_simulator(QPointer<PlatformSimulatorWindow>& window, common::Prompter& prompter,
                             QWidget* owner) {
    if (window == nullptr) {
        window = new PlatformSimulatorWindow(prompter, owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace kelpira::ui
