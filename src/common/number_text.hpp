// Numbers as the dialogs, the views and the result tables show them, the same whatever the
// process locale says: byte for byte what printf's "%.Nf" and "%g" write.
#pragma once

#include <string>

namespace kelpira::common {

std::string fixed_text(double value, int decimals);
std::string general_text(double value);

}  // namespace kelpira::common
