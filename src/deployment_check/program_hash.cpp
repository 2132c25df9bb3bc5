// SHA-256 through OpenSSL's one-call digest.
#include "deployment_check/program_hash.hpp"

#include <openssl/evp.h>

#include <stdexcept>
#include <vector>

namespace kelpira::deployment_check {

std::string program_sha256(const statemachine::StateMachineImage& image) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(image.state_count() * statemachine::StateRecord::size);
    for (std::size_t i = 0; i < image.state_count(); ++i) {
        const auto record = statemachine::encode(image.states[i]);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1) {
        throw std::runtime_error("SHA-256 is not available from OpenSSL");
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 0x0f];
    }
    return out;
}

}  // namespace kelpira::deployment_check
