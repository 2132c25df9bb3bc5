// The "Deployment Check" window without its widgets: its entries, kept for the session, read
// into the check's inputs; the mark of each verdict; and "Save...".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/prompter.hpp"
#include "deployment_check/check_inputs.hpp"
#include "deployment_check/check_item.hpp"
#include "deployment_check/deployment_check.hpp"

namespace kelpira::deployment_check {

inline constexpr std::string_view kCheckTitle = "Deployment Check";

// What the entries hold as typed; empty means not given.
struct CheckForm {
    std::string days;
    std::string start;  // "YYYY-MM-DDTHH:MM[Z]" in UTC; empty: now
    StartChoice start_state = StartChoice::deploy;
    std::string stroke_ul;
    std::string reagents;  // "1=250 2=100": VALVE=ML pairs separated by blanks or commas
    std::optional<HostPlatform> platform;
    std::string battery_wh;
    std::string cycle_wh;
    std::string sleep_w;
};

// The "Start state" list: the Deploy start state, or the automatic deployment start state
// when the sensor starts itself.
struct StartStateChoice {
    StartChoice choice;
    std::string_view text;
};
inline constexpr std::array<StartStateChoice, 2> kStartStateChoices{{
    {StartChoice::deploy, "Deploy"},
    {StartChoice::automatic, "Automatic deployment"},
}};

// The "Host platform" list: none, then each platform.
struct PlatformChoice {
    std::optional<HostPlatform> platform;
    std::string_view text;
};
inline constexpr std::array<PlatformChoice, 5> kPlatformChoices{{
    {std::nullopt, "None"},
    {HostPlatform::seaglider, "Seaglider"},
    {HostPlatform::bridges, "BRIDGES"},
    {HostPlatform::eti, "ETI"},
    {HostPlatform::generic, "Generic"},
}};

// The inputs, or the sentence naming the entry that is wrong.
struct FormReading {
    std::optional<CheckInputs> inputs;
    std::string error;
};
FormReading read_form(const CheckForm& form);

struct MarkColour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};
// Green for pass, amber for warn, red for fail, grey for skip.
MarkColour mark_colour(Verdict v);

// "Save...": asks for a text file and writes the deployment sheet, as `kelpira-ctl check
// --sheet FILE` does; "Couldn't write to file" (caption "Save") when it cannot. False when
// nothing was written.
bool save_sheet(const CheckOutcome& outcome, common::Prompter& prompter);

// The line of an item in the window: the verdict, the id and the sentence, and below an item
// that is not a pass where to put it right.
std::string item_line(const CheckItem& item);

}  // namespace kelpira::deployment_check
