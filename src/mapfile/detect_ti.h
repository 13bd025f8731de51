// Whether a line of a map shows it to be written by one of TI's linkers.
#pragma once

#include <string_view>

namespace tarvel {

// The banners "TI ARM Linker PC v20.2.7", "TI ARM Clang Linker Unix v3.2.0", "MSP430 Linker PC
// v21.6.1", or the heading "SECTION ALLOCATION MAP".
bool looks_like_ti(std::string_view line);

}  // namespace tarvel
