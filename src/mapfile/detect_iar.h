// Whether a line of a map shows it to be written by IAR's ILINK.
#pragma once

#include <string_view>

namespace tarvel {

// The banner "# IAR ELF Linker V9.30.1.335/W64 for ARM" (EWARM 6 to 9), or the part title
// "*** PLACEMENT SUMMARY".
bool looks_like_iar(std::string_view line);

}  // namespace tarvel
