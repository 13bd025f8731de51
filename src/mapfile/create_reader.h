// Chooses the map reader that a type keyword names.
#pragma once

#include <memory>
#include <string>

#include "mapfile/map_file.h"

namespace tarvel {

// The reader for `type` (compared exactly, case-sensitive), created on `map_file_name`, which
// it opens; none when no reader has that keyword.
std::unique_ptr<c_map_file> create_reader(const std::string& type,
                                          const std::string& map_file_name);

}  // namespace tarvel
