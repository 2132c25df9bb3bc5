// Reading the arguments of kelpira-ctl watch.
#include "watch_args.hpp"

#include "common/number_scan.hpp"
#include "ctl_command.hpp"

namespace kelpira::ctl {

WatchOptions parse_watch_args(const std::vector<std::string>& args) {
    WatchOptions o;
    bool kind_given = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--raw" || a == "--results" || a == "--diagnostics") {
            if (kind_given) {
                throw UsageError("watch takes one of --raw, --results and --diagnostics");
            }
            kind_given = true;
            o.watched = a == "--raw"       ? Watched::raw
                        : a == "--results" ? Watched::results
                                           : Watched::diagnostics;
        } else if (a == "--count") {
            std::uint32_t n = 0;
            const std::string v = i + 1 < args.size() ? args[++i] : "";
            const char* p = v.data();
            if (!common::plain_u32(p, v.data() + v.size(), n) || p != v.data() + v.size() ||
                n == 0) {
                throw UsageError("--count takes a number of rows from 1");
            }
            o.count = n;
        } else {
            throw UsageError("unknown argument " + a);
        }
    }
    return o;
}

}  // namespace kelpira::ctl
