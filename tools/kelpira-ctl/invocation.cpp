// Reading kelpira-ctl's global options and its command.
#include "invocation.hpp"

#include <map>

namespace kelpira::ctl {

ParsedInvocation parse_invocation(const std::vector<std::string>& args, bool progress) {
    ParsedInvocation p;
    p.app = std::make_unique<CLI::App>("", std::string(kProgram));
    CLI::App& app = *p.app;
    common::set_up_program(app);
    app.footer(
        "A file argument - means standard input or output. Exit status: 0 success, 1 the\n"
        "work failed, 2 usage error. COMMAND --help tells a command's arguments.");
    Invocation& inv = p.invocation;
    inv.progress = progress;
    common::add_optional(app, "--device", inv.device,
                         "the sensor named by name, serial number or device path\n"
                         "(default: the one sensor attached)")
        ->type_name("SELECTOR");
    app.add_flag("--progress", inv.progress,
                 "show the progress of long work (default: when standard error is a\n"
                 "terminal)")
        ->disable_flag_override();
    app.add_flag("--start-firmware", inv.start_firmware,
                 "start the firmware of a sensor in its bootloader when the command\n"
                 "needs it")
        ->disable_flag_override();
    std::map<const CLI::App*, Run> runs;
    for (const auto& c : commands()) {
        CLI::App* command = app.add_subcommand(std::string(c.name), std::string(c.summary));
        runs[command] = c.declare(*command);
    }
    app.callback([&app] {
        if (app.get_subcommands().empty()) {
            throw CLI::RequiredError("COMMAND");
        }
    });
    p.outcome = common::read_command_line(app, args);
    if (!p.outcome.exit_status) {
        p.run = runs.at(app.get_subcommands().front());
    }
    return p;
}

}  // namespace kelpira::ctl
