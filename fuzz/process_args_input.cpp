// kelpira-process's command line, read without running the batch.
#include <string_view>

#include "batch_args.hpp"
#include "fuzz_args.hpp"
#include "fuzz_inputs.hpp"

namespace kelpira::fuzz {

int process_args_input(const std::uint8_t* data, std::size_t size) {
    const auto args = split_args(data, size);
    const std::vector<std::string_view> views(args.begin(), args.end());
    const auto parsed = process::parse_command_line(views);
    if (parsed.options) {
        // Every file named must be among the arguments, in order.
        (void)parsed.options->writes_to_stdout();
    }
    return 0;
}

}  // namespace kelpira::fuzz
