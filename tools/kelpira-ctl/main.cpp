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

int main(int argc, char** argv) {
    using namespace kelpira::ctl;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedInvocation parsed = parse_invocation(args, ::isatty(STDERR_FILENO) != 0);
    if (!parsed.run) {
        std::cout << parsed.outcome.out;
        std::cerr << parsed.outcome.err;
        return *parsed.outcome.exit_status;
    }
    try {
        return parsed.run(parsed.invocation);
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
