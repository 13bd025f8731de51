// Reads an earlier JSON report of this program, the base of a diff.
#pragma once

#include <optional>
#include <string>

#include "analysis/usage_snapshot.h"

namespace tarvel {

// The figures of a "tarvel-usage" report of version 1. None, with the reason in `error`, when
// the text is no JSON, a report of another format or version, or lacks a figure the diff needs.
// The text is decoded in place: a large base is best moved in.
std::optional<usage_snapshot> read_base_report(std::string json, std::string& error);

}  // namespace tarvel
