// The main menu's lines and the enabling of its items in the three link states.
#include "shell/shell_menu.hpp"

#include <gtest/gtest.h>

#include <set>

namespace kelpira::shell {
namespace {

std::vector<std::string> texts(const std::vector<MenuEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries) {
        out.push_back(e.command ? e.text : "-");
    }
    return out;
}

bool everything(Command) {
    return true;
}

TEST(ShellMenu, TheSixteenClassicItemsKeepTheirTextsOrderAndSeparators) {
    const auto classic = [](Command c) {
        static const std::set<int> sixteen = {2060, 2052, 2107, 2102, 2122, 1053, 2087, 2085,
                                              2105, 2088, 2039, 2033, 2044, 2098, 2016, 2113};
        return sixteen.contains(static_cast<int>(c));
    };
    EXPECT_EQ(
        texts(visible_menu(Menu::File, classic)),
        (std::vector<std::string>{
            "&Disconnect", "-", "&Mount Sensor As Drive", "-", "&Log Sensor Configuration...", "-",
            "Process Raw &Nutrient File...", "Process Raw N&utrient File (Multi)...", "E&xit"}));
    EXPECT_EQ(texts(visible_menu(Menu::View, classic)),
              (std::vector<std::string>{"Raw Output (&graph)", "Raw Output (&text)",
                                        "&Processed Output (graph)", "&Processed Output (text)"}));
    EXPECT_EQ(texts(visible_menu(Menu::Configure, classic)),
              (std::vector<std::string>{"Real Time &Clock...", "RS&232...", "&State Machine...",
                                        "&Measurement Schedule..."}));
    EXPECT_EQ(texts(visible_menu(Menu::Help, classic)),
              (std::vector<std::string>{"&About...", "Sensor &Port Pins..."}));
}

TEST(ShellMenu, EveryCommandHasExactlyOneItem) {
    std::multiset<int> seen;
    for (const auto& e : menu_entries()) {
        if (e.command) {
            seen.insert(static_cast<int>(*e.command));
        }
    }
    EXPECT_EQ(seen.size(), 32U);
    for (int code : seen) {
        EXPECT_EQ(seen.count(code), 1U) << code;
    }
}

TEST(ShellMenu, AddedItemsComeAfterTheClassicOnesOfTheirMenu) {
    const auto view = texts(visible_menu(Menu::View, everything));
    ASSERT_EQ(view.size(), 9U);
    EXPECT_EQ(view[4], "-");
    EXPECT_EQ(view[5], "&Diagnostics");
    EXPECT_EQ(view[6], "Firmware &Compatibility");
    EXPECT_EQ(view[7], "-");
    EXPECT_EQ(view[8], "&Hide Failed Points");
    const auto configure = texts(visible_menu(Menu::Configure, everything));
    EXPECT_EQ(configure[3], "&Measurement Schedule...");
    EXPECT_EQ(configure[4], "-");
    ASSERT_EQ(configure.size(), 14U);
    EXPECT_EQ(configure[13], "&Restore Snapshot...");
}

TEST(ShellMenu, HiddenItemsTakeTheirSeparatorsWithThem) {
    // Only Exit in File: no separator before or after it.
    const auto only_exit = [](Command c) { return c == Command::Exit; };
    EXPECT_EQ(texts(visible_menu(Menu::File, only_exit)), (std::vector<std::string>{"E&xit"}));
    // Disconnect and Exit: one separator between them, not three.
    const auto two = [](Command c) { return c == Command::Exit || c == Command::Disconnect; };
    EXPECT_EQ(texts(visible_menu(Menu::File, two)),
              (std::vector<std::string>{"&Disconnect", "-", "E&xit"}));
    // The classic View items hidden: the added ones come without a leading separator.
    const auto compatibility = [](Command c) { return c == Command::Compatibility; };
    EXPECT_EQ(texts(visible_menu(Menu::View, compatibility)),
              (std::vector<std::string>{"Firmware &Compatibility"}));
    EXPECT_TRUE(visible_menu(Menu::Configure, compatibility).empty());
}

TEST(ShellMenu, EnablingFollowsTheLinkState) {
    const views::LinkFlags idle = views::kLinkConnected;
    const views::LinkFlags running = views::kLinkConnected | views::kLinkRunning;
    const views::LinkFlags none = 0;
    for (Command c :
         {Command::Disconnect, Command::LogSensorConfiguration, Command::RawOutputText,
          Command::RawOutputGraph, Command::ProcessedOutputText, Command::ProcessedOutputGraph,
          Command::Diagnostics, Command::Compatibility}) {
        EXPECT_TRUE(command_enabled(c, idle)) << static_cast<int>(c);
        EXPECT_TRUE(command_enabled(c, running)) << static_cast<int>(c);
        EXPECT_FALSE(command_enabled(c, none)) << static_cast<int>(c);
    }
    for (Command c :
         {Command::MountAsDrive, Command::SensorIdentification, Command::RealTimeClock,
          Command::OpticsValvesPump, Command::Rs232, Command::Rs485, Command::StateMachine,
          Command::StartStates, Command::Chemistry, Command::PlatformDefaults, Command::Thermistors,
          Command::MeasurementSchedule, Command::RestoreSnapshot, Command::DeploymentCheck}) {
        EXPECT_TRUE(command_enabled(c, idle)) << static_cast<int>(c);
        EXPECT_FALSE(command_enabled(c, running)) << static_cast<int>(c);
        EXPECT_FALSE(command_enabled(c, none)) << static_cast<int>(c);
    }
    for (Command c :
         {Command::About, Command::ProcessNutrient, Command::ProcessNutrientMulti, Command::Exit,
          Command::SensorPortPins, Command::ProcessPh, Command::ProcessTa, Command::ProcessDic,
          Command::PlatformSimulator, Command::HideFailedPoints}) {
        EXPECT_TRUE(command_enabled(c, idle)) << static_cast<int>(c);
        EXPECT_TRUE(command_enabled(c, running)) << static_cast<int>(c);
        EXPECT_TRUE(command_enabled(c, none)) << static_cast<int>(c);
    }
}

}  // namespace
}  // namespace kelpira::shell
