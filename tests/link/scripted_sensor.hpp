// A scripted in-process sensor for the command wrapper tests: each request is answered by a
// function of the request, or not at all.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "link/handler_hid.hpp"
#include "link/sensor_link.hpp"

namespace kelpira::link::testing {

struct Answer {
    std::uint8_t result = 0;
    std::vector<std::uint8_t> payload;
};

// No value: the sensor stays silent and the transaction times out.
using Script = std::function<std::optional<Answer>(const SensorCommand& request)>;

inline InProcessHandler scripted(Script script) {
    return [script = std::move(script)](const Report& bytes) {
        SensorCommand request;
        request.bytes = bytes;
        const auto answer = script(request);
        if (!answer) {
            return std::vector<InProcessReport>{};
        }
        InProcessReport reply;
        reply.bytes[0] = bytes[0];
        reply.bytes[1] = bytes[1];
        reply.bytes[2] = bytes[2];
        reply.bytes[3] = bytes[3];
        reply.bytes[4] = answer->result;
        reply.bytes[5] = static_cast<std::uint8_t>(answer->payload.size());
        for (std::size_t i = 0; i < answer->payload.size() && i < kMaxPayload; ++i) {
            reply.bytes[kPayloadOffset + i] = answer->payload[i];
        }
        return std::vector<InProcessReport>{reply};
    };
}

// Payload bytes 1, 2, 3, ... : shows which bytes a wrapper took.
inline std::vector<std::uint8_t> counting_payload(std::size_t n = kMaxPayload) {
    std::vector<std::uint8_t> p(n);
    for (std::size_t i = 0; i < n; ++i) {
        p[i] = static_cast<std::uint8_t>(i + 1);
    }
    return p;
}

struct SensorFixture : ::testing::Test {
    static constexpr const char* kPath = "/dev/virtual/kelpira0";
    // Long enough for a loaded machine; only the silent cases wait it out.
    static constexpr std::chrono::milliseconds kTimeout{500};

    InProcessHidBackend backend;
    SensorLink link{backend};

    void open(Script script) {
        backend.add(kPath, "VID_04D8&PID_EABC", scripted(std::move(script)));
        ASSERT_EQ(link.Open(kPath, kTimeout), 0);
    }
    std::vector<Report> sent() const { return backend.written(kPath); }
    std::uint16_t code_sent(std::size_t i) const {
        const auto r = sent().at(i);
        return static_cast<std::uint16_t>(r[1] | (r[2] << 8));
    }
};

}  // namespace kelpira::link::testing
