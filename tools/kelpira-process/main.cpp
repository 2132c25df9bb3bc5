// kelpira-process: batch processing of raw output files into one CSV table of results.
#include <iostream>
#include <string_view>
#include <vector>

#include "batch_args.hpp"
#include "processing/batch_interrupt.hpp"
#include "processing/batch_runner.hpp"

int main(int argc, char** argv) {
    using namespace kelpira::processing;
    std::ios::sync_with_stdio(false);
    install_interrupt_handlers();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const int status = run_command_line(args, std::cin, std::cout, std::cerr);
    if (status == kExitInterrupted) {
        std::cout.flush();
        end_by_interrupt_signal();
    }
    return status;
}
