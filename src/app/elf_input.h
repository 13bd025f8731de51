// Reading an ELF file from disk for the tools: the bytes, then its headers.
#pragma once

#include <optional>
#include <string>

#include "elf/elf_file.h"

namespace tarvel {

// The headers of the ELF file at `path`; empty with `error` set to a message that names the
// file ("the ELF file 'x' is damaged: ...") when it cannot be read or is no valid ELF file.
std::optional<elf::elf_image> read_elf_file(const std::string& path, std::string& error);

}  // namespace tarvel
