// The upgrade stream on the wire: block layout, the left-over bytes of a short block, the
// closing block, and every way an upgrade ends without one.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <streambuf>

#include "link/identity_commands.hpp"
#include "maintenance/upgrade_fixture.hpp"

namespace kelpira::maintenance {

using testing::blocks_sent;
using testing::image_bytes;
using testing::in_bootloader;

namespace {

// Gives `good` bytes of the image, then fails as a disk that cannot be read does.
class FailingImage : public std::streambuf {
  public:
    FailingImage(std::string bytes, std::size_t good) : bytes_(std::move(bytes)), good_(good) {}

  protected:
    int_type underflow() override {
        if (given_ == good_) {
            throw std::runtime_error("read error");
        }
        current_ = bytes_[given_];
        setg(&current_, &current_, &current_ + 1);
        ++given_;
        return traits_type::to_int_type(current_);
    }

  private:
    std::string bytes_;
    std::size_t good_;
    std::size_t given_ = 0;
    char current_ = 0;
};

class UpgradeStream : public testing::UpgradeFixture {
  protected:
    UpgradeOutcome stream(std::istream& image, std::uint32_t address = link::kFirmwareLoadAddress,
                          int cancel_at_check = -1) {
        int checks = 0;
        return stream_image(
            link, image, address, [&] { return checks++ == cancel_at_check; },
            [this](std::uint32_t bytes) { progress.push_back(bytes); });
    }
    UpgradeOutcome stream(const std::string& bytes,
                          std::uint32_t address = link::kFirmwareLoadAddress,
                          int cancel_at_check = -1) {
        std::istringstream image(bytes);
        return stream(image, address, cancel_at_check);
    }

    std::vector<std::uint32_t> progress;
};

}  // namespace

TEST_F(UpgradeStream, TwoFullBlocksThenTheClosingBlock) {
    start(in_bootloader());
    const std::string image = image_bytes(128);
    EXPECT_EQ(stream(image), (UpgradeOutcome{0, 128, {}}));
    EXPECT_EQ(progress, (std::vector<std::uint32_t>{64, 128}));

    const auto log = sensor->log();
    ASSERT_EQ(log.size(), 3u);
    // Block 1 exactly as it goes out: layout 1, number 1, count 64, bytes 64-127, 0xA000.
    std::vector<std::uint8_t> expected{1, 1, 0, 0, 0, 64, 0, 0, 0};
    expected.insert(expected.end(), image.begin() + 64, image.end());
    expected.insert(expected.end(), {0x00, 0xA0, 0, 0});
    EXPECT_EQ(log[1].payload, expected);

    const auto blocks = blocks_sent(*sensor);
    EXPECT_EQ(blocks[0].block_number, 0u);
    EXPECT_EQ(blocks[0].count, 64u);
    EXPECT_EQ(blocks[2].block_number, 2u);
    EXPECT_EQ(blocks[2].count, 0u);
    EXPECT_EQ(restarts, 1);
}

TEST_F(UpgradeStream, AShortLastBlockKeepsTheBytesOfTheBlockBefore) {
    start(in_bootloader());
    const std::string image = image_bytes(100);
    EXPECT_EQ(stream(image), (UpgradeOutcome{0, 100, {}}));
    EXPECT_EQ(progress, (std::vector<std::uint32_t>{64, 100}));
    const auto blocks = blocks_sent(*sensor);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[1].count, 36u);
    for (std::size_t i = 0; i < 36; ++i) {
        EXPECT_EQ(blocks[1].data[i], static_cast<std::uint8_t>(image[64 + i])) << i;
    }
    for (std::size_t i = 36; i < 64; ++i) {
        EXPECT_EQ(blocks[1].data[i], static_cast<std::uint8_t>(image[i])) << i;
    }
    EXPECT_EQ(blocks[2].block_number, 2u);
    EXPECT_EQ(blocks[2].count, 0u);
    EXPECT_EQ(blocks[2].data, blocks[1].data);  // the closing block is the block as it stands
}

TEST_F(UpgradeStream, ALostExchangeEndsItWith14) {
    start(in_bootloader());
    link.Close();  // a short time-out, so that the lost answer is given up soon
    ASSERT_EQ(link.Open(kPath, std::chrono::milliseconds(100)), 0);
    sensor->inject(259, {virtual_sensor::FaultKind::no_answer, {}}, 1, 2);
    EXPECT_EQ(stream(image_bytes(640)), (UpgradeOutcome{14, 128, {}}));
    EXPECT_EQ(blocks_sent(*sensor).size(), 3u);
}

TEST_F(UpgradeStream, ACancelBeforeABlockSendsNoClosingBlock) {
    start(in_bootloader());
    EXPECT_EQ(stream(image_bytes(640), link::kFirmwareLoadAddress, 2),
              (UpgradeOutcome{1, 128, {}}));
    const auto blocks = blocks_sent(*sensor);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_NE(blocks.back().count, 0u);
}

TEST_F(UpgradeStream, ACancelDuringTheLastDataBlockSendsNoClosingBlock) {
    start(in_bootloader());
    EXPECT_EQ(stream(image_bytes(128), link::kFirmwareLoadAddress, 2),
              (UpgradeOutcome{1, 128, {}}));
    const auto blocks = blocks_sent(*sensor);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks.back().count, 64u);
    EXPECT_EQ(restarts, 0);
}

TEST_F(UpgradeStream, AReadErrorPartWayIsNoEndOfFile) {
    start(in_bootloader());
    FailingImage failing(image_bytes(128), 100);
    std::istream image(&failing);
    EXPECT_EQ(stream(image), (UpgradeOutcome{1, 64, {}}));
    const auto blocks = blocks_sent(*sensor);
    ASSERT_EQ(blocks.size(), 1u);  // neither the 36 bytes read before the error nor a closing
    EXPECT_EQ(restarts, 0);
}

TEST_F(UpgradeStream, AnEmptyImageSendsNothing) {
    start(in_bootloader());
    EXPECT_EQ(stream(std::string()), (UpgradeOutcome{1, 0, {}}));
    EXPECT_TRUE(sensor->log().empty());
}

}  // namespace kelpira::maintenance
