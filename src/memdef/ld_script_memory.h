// The MEMORY command of a linker script, in the syntax GNU ld and lld share:
//
//   INCLUDE memory-common.ld
//   FLASH_SIZE = 512K;
//   MEMORY
//   {
//     FLASH (rx)  : ORIGIN = 0x08000000, LENGTH = FLASH_SIZE
//     RAM   (rwx) : org = 0x20000000, len = 64K - 2K
//     CCM         : ORIGIN = ORIGIN(RAM) + LENGTH(RAM), LENGTH = 0x1000
//   }
//
// Numbers are decimal, hexadecimal ("0x", or an "h" suffix), octal (a leading 0) or binary (a
// "b" suffix), with "K" or "M" to multiply by 1024 or 1024 * 1024. Expressions take the C
// operators + - * / % << >> & | ~ and brackets, ORIGIN(region) and LENGTH(region) of a region
// defined before, and symbols assigned at the top level before the command. INCLUDE inserts a
// file where it stands (outside or inside MEMORY); the caller finds and reads it (src/app looks
// beside the including script). Everything else of the script (SECTIONS and the like) is
// skipped.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "text/input_result.h"

namespace tarvel {

struct ld_script_region {
    std::string name;
    std::uint64_t origin = 0;
    std::uint64_t length = 0;
    std::string attributes;  // the text between the brackets, "rwx"; empty when none
};

// A script's text and its name in messages (and as the `including` of the files it includes).
struct ld_script_text {
    std::string name;
    std::string text;
};

// The file that a script INCLUDEs: `file` as the INCLUDE writes it, `including` the name of the
// script it stands in. None when there is no such file to read.
using ld_script_include_reader = std::function<std::optional<ld_script_text>(
    const std::string& file, const std::string& including)>;

// Reads the regions of every MEMORY command of the script `text`, named `name` in messages, in
// their order. An error with the file and line (0 for the script as a whole) when an included
// file cannot be read or an expression cannot be evaluated. Without `include_reader`, every
// INCLUDE is a file that cannot be read.
c_result<std::vector<ld_script_region>> read_ld_script_memory_text(
    const std::string& text, const std::string& name,
    const ld_script_include_reader& include_reader);

// The message of an error of the reader: "memory.x line 4: unknown region 'RAM2' in
// LENGTH(RAM2)", or "memory.x: what" for one of no line.
std::string ld_script_message(const input_error& error);

}  // namespace tarvel
