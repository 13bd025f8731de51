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
// file where it stands (outside or inside MEMORY), looked up beside the including script.
// Everything else of the script (SECTIONS and the like) is skipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvel {

struct ld_script_region {
    std::string name;
    std::uint64_t origin = 0;
    std::uint64_t length = 0;
    std::string attributes;  // the text between the brackets, "rwx"; empty when none
};

// Reads the regions of every MEMORY command of the script `path`, in their order. False with
// `error` saying what and where ("memory.x line 4: unknown region 'RAM2' in LENGTH(RAM2)")
// when the script or an included file cannot be read or an expression cannot be evaluated.
bool read_ld_script_memory(const std::string& path, std::vector<ld_script_region>& regions,
                           std::string& error);

// The same for a script given as text, named `name` in messages; INCLUDE looks beside `name`.
bool read_ld_script_memory_text(const std::string& text, const std::string& name,
                                std::vector<ld_script_region>& regions, std::string& error);

}  // namespace tarvel
