// The arguments of kelpira-ctl watch: what is watched and for how many rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelpira::ctl {

enum class Watched { raw, results, diagnostics };

struct WatchOptions {
    Watched watched = Watched::raw;
    std::optional<std::uint64_t> count;
};

// Reads the arguments after "watch"; throws UsageError.
WatchOptions parse_watch_args(const std::vector<std::string>& args);

}  // namespace kelpira::ctl
