// kelpira-process: batch processing of raw output files into one CSV table or NetCDF file.
#include <iostream>
#include <string_view>
#include <vector>

#include "batch_args.hpp"
#include "common/stop_signals.hpp"
#include "processing/batch_runner.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // Ctrl+C, a kill or a closed terminal stops the run where it is; it removes what it was
    // writing, and the program then ends by the same signal.
    const kelpira::common::StopSignalScope stop({SIGINT, SIGTERM, SIGHUP});
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const int status = kelpira::process::run_command_line(args, std::cin, std::cout, std::cerr);
    if (status == kelpira::processing::kExitInterrupted) {
        std::cout.flush();
        kelpira::common::end_by_interrupting_signal();
    }
    return status;
}
