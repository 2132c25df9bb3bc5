// The arguments of kelpira-ctl sm: the sub-command's operands and options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "statemachine/state_files.hpp"

namespace kelpira::ctl {

// The operands after the sub-command, and the options among them.
struct SmArgs {
    std::vector<std::string> operands;
    std::optional<std::string> output;               // -o
    std::optional<std::uint32_t> dry_run;            // --dry-run START
    std::optional<std::uint32_t> pump_timeout;       // --pump-timeout STATE
    std::optional<statemachine::FileLayout> format;  // --format, for "-"
    bool allow_loss = false;                         // --allow-loss: a lossy .dat is written
};

// Reads the arguments after "sm" (the first is the sub-command); throws UsageError.
SmArgs parse_sm_args(const std::vector<std::string>& args);

}  // namespace kelpira::ctl
