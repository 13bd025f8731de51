// Whether a line of a map shows it to be written by Arm's armlink.
#pragma once

#include <string_view>

namespace tarvel {

// The banner of the tools that built the image ("Component: ARM Compiler 5.06 update 7 ...
// Tool: armlink", "Component: Arm Compiler for Embedded 6.19 Tool: armlink"), or the heading
// "Memory Map of the image".
bool looks_like_armlink(std::string_view line);

}  // namespace tarvel
