// Log lines of the processing engines: printf-style texts of at most 255 characters, handed
// to whoever shows or stores them.
#pragma once

#include <functional>
#include <string>

namespace kelpira::processing {

// Receives each log line of an engine as it is produced.
using LogSink = std::function<void(const std::string&)>;

// Formats one log line; longer texts are cut to 255 characters, as the log list holds them.
[[gnu::format(printf, 1, 2)]] std::string log_line(const char* format, ...);

}  // namespace kelpira::processing
