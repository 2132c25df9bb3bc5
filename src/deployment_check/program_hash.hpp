// The identity of the state-machine program read from the sensor: SHA-256 (OpenSSL's
// libcrypto) of the program exactly as `kelpira-ctl sm get FILE.asm` writes it, states 0 to
// the last as 77-byte records, so that `sha256sum FILE.asm` of a saved copy can be compared
// with a deployment sheet years later. A cryptographic hash, not a CRC: two programs that
// differ anywhere never share it in practice.
#pragma once

#include <string>

#include "statemachine/state_machine_image.hpp"

namespace kelpira::deployment_check {

// 64 lower-case hexadecimal digits.
std::string program_sha256(const statemachine::StateMachineImage& image);

}  // namespace kelpira::deployment_check
