// Reading the arguments of kelpira-ctl watch.
#include "watch_args.hpp"

#include "common/number_scan.hpp"
#include "ctl_command.hpp"

namespace kelpira::ctl {

namespace {

constexpr common::OptionSpec kWatchOptions[] = {
    {"--raw"}, {"--results"}, {"--diagnostics"}, {"--count", true}};

}  // namespace

WatchOptions parse_watch_args(const std::vector<std::string>& args) {
    WatchOptions o;
    bool kind_given = false;
    for (const auto& arg : command_args(args, kWatchOptions)) {
        if (arg.option == nullptr) {
            throw UsageError("unknown argument " + arg.value);
        }
        const std::string_view a = arg.option->name;
        if (a == "--raw" || a == "--results" || a == "--diagnostics") {
            if (kind_given) {
                throw UsageError("watch takes one of --raw, --results and --diagnostics");
            }
            kind_given = true;
            o.watched = a == "--raw"       ? Watched::raw
                        : a == "--results" ? Watched::results
                                           : Watched::diagnostics;
        } else {
            std::uint32_t n = 0;
            const std::string& v = arg.value;
            const char* p = v.data();
            if (!common::plain_u32(p, v.data() + v.size(), n) || p != v.data() + v.size() ||
                n == 0) {
                throw UsageError("--count takes a number of rows from 1");
            }
            o.count = n;
        }
    }
    return o;
}

}  // namespace kelpira::ctl
