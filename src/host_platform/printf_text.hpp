// printf-style formatting into a std::string, for the protocols' sentences and the texts the
// simulator shows.
#pragma once

#include <string>

namespace kelpira::host_platform {

std::string printf_text(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kelpira::host_platform
