// kelpira-process: batch processing of raw output files into one CSV table of results.
#include <iostream>
#include <string_view>
#include <vector>

#include "processing/batch_runner.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return kelpira::processing::run_command_line(args, std::cin, std::cout, std::cerr);
}
