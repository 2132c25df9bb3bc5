// The compatibility verdict: the sensor's version placed against the release table.
#include "link/compatibility_verdict.hpp"

#include "link/firmware_releases.hpp"
#include "link/firmware_version.hpp"

namespace kelpira::link {

namespace {

void add(std::vector<VerdictRow>& rows, std::string text, Rgb colour = kBlack) {
    rows.push_back({std::move(text), colour});
}

void add_warnings_above(std::vector<VerdictRow>& rows, std::int64_t sensor_number) {
    const auto releases = warning_releases(sensor_number);
    for (const FirmwareRelease* release : releases) {
        add(rows, std::string(*release->warning), kRed);
    }
    if (!releases.empty()) {
        add(rows, "");
        add(rows, "All other operations are safe.");
    } else {
        add(rows, "All operations are safe.", kGreen);
    }
}

}  // namespace

// A key that does not parse never stops the walk. The walk stops at the first release not
// newer than the sensor's, which for a listed version is its own row: an unlisted version
// between two releases must not collect the warnings meant for the older ones.
std::vector<const FirmwareRelease*> warning_releases(std::int64_t sensor_number) {
    std::vector<const FirmwareRelease*> out;
    for (const auto& release : kFirmwareReleases) {
        const auto parsed = ParseFirmwareVersion(release.key);
        if (parsed && parsed->number <= sensor_number) {
            break;
        }
        if (release.warning) {
            out.push_back(&release);
        }
    }
    return out;
}

CompatibilityVerdict judge_firmware(std::string_view sensor_version) {
    CompatibilityVerdict out;
    auto& rows = out.verdict;
    const std::string_view latest_key = kFirmwareReleases.front().key;
    add(rows, "Sensor's Firmware Version: " + std::string(sensor_version));
    add(rows, "Latest Firmware Version supported by this GUI: " + std::string(latest_key));
    add(rows, "This GUI Version: " + std::string(kGuiVersion));
    add(rows, "");

    const auto latest = ParseFirmwareVersion(latest_key);
    const auto sensor = ParseFirmwareVersion(sensor_version);
    if (!sensor) {
        add(rows, "The firmware you are running is unrecognised.", kRed);
        add(rows, "Please do not deploy this firmware.", kRed);
    } else if (sensor->is_test_build()) {
        add(rows, "The firmware you are running is for testing only.", kRed);
        add(rows, "Please do not deploy this firmware.", kRed);
    } else if (sensor->number > latest->number) {
        add(rows,
            "The firmware you are running is newer than than the latest known to this GUI so "
            "there may be compatbility problems.",
            kRed);
        add(rows, "Please check your firmware's release notes or upgrade to the latest GUI.", kRed);
        add(rows, "");
        add(rows, "Starting & stopping the sensor and downloading data files will be safe.");
    } else if (sensor->number == latest->number) {
        add(rows, "The firmware you are running is the latest supported by this GUI.");
        add(rows, "");
        add(rows, "All operations are safe.", kGreen);
    } else {
        add(rows, "The firmware you are running is not the latest supported by this GUI.");
        add(rows, "Please observe any compatibility warnings listed here:");
        add(rows, "");
        add_warnings_above(rows, sensor->number);
    }

    out.table.reserve(kFirmwareReleases.size());
    for (const auto& release : kFirmwareReleases) {
        const auto parsed = ParseFirmwareVersion(release.key);
        const bool is_sensors = sensor && parsed && parsed->number == sensor->number;
        out.table.push_back(
            {release.key, release.date, release.changes, is_sensors ? kBlack : kGrey});
    }
    return out;
}

}  // namespace kelpira::link
