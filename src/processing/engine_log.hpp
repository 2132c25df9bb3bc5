// Log lines of the processing engines: printf-style texts of at most 255 characters, handed
// to whoever shows or stores them.
#pragma once

#include <functional>
#include <string>

namespace kelpira::processing {

// Receives each log line of an engine as it is produced.
using LogSink = std::function<void(const std::string&)>;

// An engine's log: printf-style lines cut to 255 characters, as the log list holds them,
// formatted only when someone receives them, so a pass without a log costs no formatting.
class EngineLog {
  public:
    EngineLog() = default;
    explicit EngineLog(LogSink sink) : sink_(std::move(sink)) {}

    [[gnu::format(printf, 2, 3)]] void operator()(const char* format, ...) const;

  private:
    LogSink sink_;
};

}  // namespace kelpira::processing
