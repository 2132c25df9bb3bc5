// kelpira-ctl's command line, read without running the command: nothing touches a sensor
// or a file.
#include "ctl_command.hpp"
#include "fuzz_args.hpp"
#include "fuzz_inputs.hpp"
#include "invocation.hpp"

namespace kelpira::fuzz {

int ctl_args_input(const std::uint8_t* data, std::size_t size) {
    // A command line that reads is run by the program; here it is only read.
    (void)ctl::parse_invocation(split_args(data, size), false);
    return 0;
}

}  // namespace kelpira::fuzz
