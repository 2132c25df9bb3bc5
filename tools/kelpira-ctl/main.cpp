// kelpira-ctl: a sensor and its files from a terminal or a script. The commands register
// themselves in their own files (see ctl_command.hpp).
#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "common/visible_text.hpp"
#include "ctl_command.hpp"
#include "invocation.hpp"

namespace {

using namespace kelpira::ctl;

void print_help(std::ostream& out) {
    out << "usage: kelpira-ctl [--device SELECTOR] [--progress] [--start-firmware] COMMAND "
           "[ARGS...]\n"
           "       kelpira-ctl --help | --version\n\n"
           "  --device SELECTOR  the sensor named by name, serial number or device path\n"
           "                     (default: the one sensor attached)\n"
           "  --progress         show the progress of long work (default: when standard\n"
           "                     error is a terminal)\n"
           "  --start-firmware   start the firmware of a sensor in its bootloader when the\n"
           "                     command needs it\n\n"
           "commands:\n";
    for (const auto& c : commands()) {
        out << "  " << c.usage << "\n      " << c.summary << "\n";
    }
    out << "\nA file argument - means standard input or output. Exit status: 0 success, 1 the\n"
           "work failed, 2 usage error.\n";
}

int usage_error(const std::string& text, std::string_view usage) {
    std::cerr << kelpira::common::usage_error_text(
        kProgram, text, "usage: kelpira-ctl [--device SELECTOR] " + std::string(usage) + "\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    using Outcome = ParsedInvocation::Outcome;
    const ParsedInvocation parsed = parse_invocation(args, ::isatty(STDERR_FILENO) != 0);
    switch (parsed.outcome) {
        case Outcome::help:
            print_help(std::cout);
            return 0;
        case Outcome::version:
            std::cout << kelpira::common::version_line(kProgram);
            return 0;
        case Outcome::usage_error:
            return usage_error(parsed.error, "COMMAND [ARGS...]");
        case Outcome::run:
            break;
    }
    const CommandSpec* spec = parsed.command;
    const Invocation& inv = parsed.invocation;
    try {
        return spec->run(inv);
    } catch (const UsageError& e) {
        return usage_error(e.what(), spec->usage);
    } catch (const WorkFailure& e) {
        tell(with_sensor_loss(e.what()));
        return 1;
    } catch (const std::exception& e) {
        tell(kelpira::common::visible_text(e.what()));
        return 1;
    } catch (...) {
        tell("an exception of unknown type");
        return 1;
    }
}
