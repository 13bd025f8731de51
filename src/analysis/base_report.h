// Reads an earlier JSON report of this program, the base of a diff.
#pragma once

#include <cstddef>
#include <string>

#include "analysis/usage_snapshot.h"
#include "text/input_result.h"

namespace tarvel {

// How deep a report's objects and arrays may nest. A report of this program nests four levels
// at most (the report, "diff", its "entries", one change; or "reader", "dropped", one rule),
// and members the reader does not know are skipped at any depth. What bounds the depth is only
// the file, and the reader takes a stack frame per level: without a limit a file of nothing
// but brackets ran it out of stack. 64 leaves room for members later versions may nest
// further and refuses such a file at its 65th bracket, after a few kilobytes of stack.
inline constexpr std::size_t max_report_depth = 64;

// The figures of a "tarvel-usage" report of version 1. An error whose `what` follows the file's
// name ("is not valid JSON (at byte 12: ...)") when the text is no JSON, nests deeper than
// `max_report_depth`, is a report of another format or version, or lacks a figure the diff needs.
// The text is decoded in place: a large base is best moved in.
c_result<usage_snapshot> read_base_report(std::string json);

}  // namespace tarvel
