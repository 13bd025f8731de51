// Chooses the map reader that a type keyword names.
#pragma once

#include <memory>
#include <string>

#include "mapfile/map_file.h"
#include "text/text_source.h"

namespace tarvel {

// The reader for `type` (compared exactly, case-sensitive) of the registry (map_formats.h),
// created on `map`, which it opens; none when no reader has that keyword.
std::unique_ptr<c_map_file> create_reader(const std::string& type, const text_source& map);

}  // namespace tarvel
