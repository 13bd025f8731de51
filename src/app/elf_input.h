// Reading an ELF file from disk for the tools: the bytes, then its headers.
#pragma once

#include <string>

#include "elf/elf_file.h"
#include "text/input_result.h"

namespace tarvel {

// The headers of the ELF file at `path`; the message, which names the file ("the ELF file 'x' is
// damaged: ..."), when it cannot be read or is no valid ELF file.
c_result<elf::elf_image, std::string> read_elf_file(const std::string& path);

}  // namespace tarvel
