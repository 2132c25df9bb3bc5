// kelpira-ctl upgrade: a firmware image for a sensor in its bootloader, or (--bootloader) a
// bootloader image for a sensor running its firmware, through the Upgrade dialog's own core.
#include <signal.h>
#include <unistd.h>

#include <array>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>

#include "common/stop_signals.hpp"
#include "ctl_command.hpp"
#include "link/identity_commands.hpp"
#include "maintenance/upgrade_action.hpp"
#include "maintenance/upgrade_controller.hpp"
#include "terminal_prompter.hpp"

namespace kelpira::ctl {

namespace {

// Ctrl+C, a kill, a closed terminal and Ctrl+\ all end a program half-way; during an upgrade
// each is the user's request to stop, which a bootloader upgrade refuses.
struct HeldSignal {
    int number;
    const char* name;
};
constexpr std::array<HeldSignal, 4> kHeldSignals{{{SIGINT, "SIGINT (Ctrl+C)"},
                                                  {SIGTERM, "SIGTERM"},
                                                  {SIGHUP, "SIGHUP (terminal closed)"},
                                                  {SIGQUIT, "SIGQUIT"}}};

const char* signal_name(int number) {
    for (const auto& held : kHeldSignals) {
        if (held.number == number) {
            return held.name;
        }
    }
    return "a signal";
}

constexpr auto kSlice = std::chrono::milliseconds(50);

struct UpgradeOptions {
    std::string file;
    bool bootloader = false;
    bool yes = false;
};

// The streamer's events, handed from its thread to the main thread.
class EventQueue {
  public:
    void push(const maintenance::UpgradeEvent& event) {
        {
            std::lock_guard lock(mutex_);
            events_.push_back(event);
        }
        ready_.notify_one();
    }
    std::optional<maintenance::UpgradeEvent> pop(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        if (!ready_.wait_for(lock, wait, [this] { return !events_.empty(); })) {
            return std::nullopt;
        }
        auto event = events_.front();
        events_.pop_front();
        return event;
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<maintenance::UpgradeEvent> events_;
};

// Progress rewrites one line on a terminal and adds a line per block elsewhere.
void show_progress(const std::string& text, bool terminal) {
    std::cerr << kProgram << ": " << text << (terminal ? "\r" : "\n") << std::flush;
}

int run_upgrade(const Invocation& inv, const UpgradeOptions& o) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(o.file, error)) {
        throw WorkFailure(o.file + ": no such image file");
    }
    OpenSensor sensor(inv, false, maintenance::kMaintenanceTimeout);
    link::DeviceInfo info;
    if (link::get_device_info(sensor.link(), info) != link::kResultSuccess) {
        throw WorkFailure(sensor.path() + ": the sensor does not identify itself");
    }
    if (info.mode != link::kModeBootloader && info.mode != link::kModeFirmware) {
        throw WorkFailure(sensor.path() + ": the sensor reports mode " + std::to_string(info.mode) +
                          ", neither its bootloader (1) nor its firmware (2): nothing was written");
    }
    if (info.mode == link::kModeBootloader && o.bootloader) {
        throw WorkFailure(sensor.path() +
                          ": the sensor runs its bootloader, which takes a firmware image "
                          "(leave out --bootloader)");
    }
    if (info.mode == link::kModeFirmware && !o.bootloader) {
        throw WorkFailure(sensor.path() +
                          ": the sensor runs its firmware; a firmware image needs a sensor in "
                          "its bootloader, --bootloader writes a bootloader image");
    }

    // The chooser names the file given, the bootloader warning wants "yes" typed (or --yes), and
    // Ctrl+C is the user's Yes to stopping.
    TerminalPrompter prompter;
    prompter.open_file(o.file).assume_yes(o.yes).agree_to(maintenance::kCancelCaption);
    auto queue = std::make_shared<EventQueue>();
    maintenance::ReturnWatch watch;
    watch.backend = &sensor.backend();
    watch.path = sensor.path();
    maintenance::UpgradeController dialog(
        sensor.link(), watch, prompter,
        [queue](const maintenance::UpgradeEvent& event) { queue->push(event); });
    // Every stop signal is the user's request to stop, which a bootloader upgrade refuses: they
    // are held off until the command ends.
    const common::StopSignalScope held;
    common::ignore_broken_pipes();
    if (!dialog.open(info.mode)) {
        tell(o.file + ": nothing was written to the sensor");
        return 1;
    }
    if (dialog.replaces_bootloader()) {
        tell(
            "SIGINT (Ctrl+C), SIGTERM, SIGHUP and SIGQUIT are held off until the bootloader is "
            "written");
    }
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    for (;;) {
        if (const int signal = common::interrupting_signal(); signal != 0) {
            common::clear_interrupted();
            if (dialog.replaces_bootloader() && !dialog.waiting()) {
                tell(std::string(signal_name(signal)) +
                     " held off: the bootloader is being written");
            }
            dialog.cancel();
            if (dialog.stopping()) {
                tell(dialog.status_text());
            }
        }
        const auto event = queue->pop(kSlice);
        if (!event) {
            continue;
        }
        const auto* outcome = std::get_if<maintenance::UpgradeOutcome>(&*event);
        if (outcome != nullptr && inv.progress && terminal && !dialog.stopping()) {
            std::cerr << '\n';
        }
        dialog.handle(*event);
        if (const auto result = dialog.result()) {
            // A stop the user asked for, of the writing or of the wait for the sensor, ends
            // without a message of the dialog's own.
            const bool wait_stopped =
                outcome->sensor && outcome->sensor->kind == maintenance::Return::stopped;
            if (dialog.stopping() &&
                (outcome->status == maintenance::kUpgradeStopped || wait_stopped)) {
                tell(dialog.status_text());
            }
            if (*result == maintenance::kUpgradeDone) {
                tell("the sensor is back, running " + dialog.sensor_version());
                return 0;
            }
            return 1;
        }
        if (inv.progress && !dialog.stopping()) {
            show_progress(dialog.status_text(), terminal);
        }
    }
}

Run declare_upgrade(CLI::App& command) {
    auto o = std::make_shared<UpgradeOptions>();
    command.add_option("FILE", o->file, "the image file")->required();
    command
        .add_flag("--bootloader", o->bootloader,
                  "write a bootloader image to a sensor running its firmware")
        ->disable_flag_override();
    command.add_flag("--yes", o->yes, "answer yes to the bootloader warning")
        ->disable_flag_override();
    return [o](const Invocation& inv) { return run_upgrade(inv, *o); };
}

const Registration kUpgrade{{"upgrade",
                             "firmware upgrade of a sensor in its bootloader, or bootloader "
                             "upgrade (--bootloader) of one running its firmware",
                             declare_upgrade}};

}  // namespace

}  // namespace kelpira::ctl
