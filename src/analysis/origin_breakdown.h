// The used bytes by object file or by archive, for maps that name where each entry comes from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/usage_model.h"

namespace tarvel {

enum class breakdown_kind { object, archive };

struct breakdown_row {
    std::string name;           // "main.o", "libhal.a(uart.o)" or "libhal.a"; "(none)" for the rest
    std::uint32_t program = 0;  // bytes in program areas
    std::uint32_t ram = 0;      // bytes in RAM areas
};

// One row per object file (an archive member written "archive(member)") or per archive (an
// object file outside any archive is a row of its own), largest program share first, then
// largest RAM share, then by name. Entries whose map names no file add up in the row "(none)",
// so that the rows add up to the used bytes of ROM and of RAM. (Bit variables, which only
// listing maps have, and those name no files, are not counted.)
std::vector<breakdown_row> breakdown_by(const usage_model& model, breakdown_kind kind);

}  // namespace tarvel
