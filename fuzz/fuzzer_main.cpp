// The libFuzzer entry of one fuzz program: KELPIRA_FUZZ_INPUT names its entry point.
#include <cstddef>
#include <cstdint>

#include "fuzz_inputs.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return kelpira::fuzz::KELPIRA_FUZZ_INPUT(data, size);
}
