// A reader of the headers of an ELF file (linked program or object file): the section headers
// with their names, and the program headers. ELF32 and ELF64, little and big endian. It parses a
// byte buffer that the caller has read, so it touches no file itself.
//
// The layout is the fixed one of the ELF format: the file header at offset 0 gives the offset,
// entry size and count of the section header table and of the program header table; the section
// names are strings in the section that e_shstrndx names. Every offset, count and size read from
// the file is checked against the buffer before it is used, so a damaged or cut-short file gives
// an error naming the field and its byte offset, never a read past the end or an allocation
// larger than the buffer justifies.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "text/input_result.h"

namespace tarvel::elf {

// Section types (sh_type) and flags (sh_flags) that the tools look at.
inline constexpr std::uint32_t sht_null = 0;
inline constexpr std::uint32_t sht_progbits = 1;
inline constexpr std::uint32_t sht_nobits = 8;
inline constexpr std::uint64_t shf_write = 0x1;
inline constexpr std::uint64_t shf_alloc = 0x2;
inline constexpr std::uint64_t shf_execinstr = 0x4;
inline constexpr std::uint64_t shf_tls = 0x400;
// Program header type of a loadable segment.
inline constexpr std::uint32_t pt_load = 1;

struct section_header {
    std::string name;
    std::uint32_t type = sht_null;
    std::uint64_t flags = 0;
    std::uint64_t address = 0;  // where the section runs (VMA)
    std::uint64_t size = 0;
    std::uint64_t offset = 0;  // of its contents in the file
    // Where the section's contents are stored in the loaded image (LMA): for an allocated section
    // with contents that lies in a loadable segment, the segment's physical address plus the
    // section's place in it; otherwise the run address.
    std::uint64_t load_address = 0;

    bool allocated() const { return (flags & shf_alloc) != 0; }
    bool has_contents() const { return type != sht_nobits; }
    bool writable() const { return (flags & shf_write) != 0; }
    bool executable() const { return (flags & shf_execinstr) != 0; }
    bool thread_local_storage() const { return (flags & shf_tls) != 0; }
};

struct program_header {
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t virtual_address = 0;
    std::uint64_t physical_address = 0;
    std::uint64_t file_size = 0;
    std::uint64_t memory_size = 0;
};

struct elf_image {
    bool is_64_bit = false;
    bool big_endian = false;
    std::uint16_t file_type = 0;  // e_type: 1 object file, 2 executable
    std::uint16_t machine = 0;
    std::vector<section_header> sections;  // in table order, the null section 0 included
    std::vector<program_header> segments;
};

// What was wrong with the file, and where: the byte offset of the field or data at fault.
struct elf_error {
    std::string message;
    std::uint64_t offset = 0;
};

// Parses the headers of the ELF file in `bytes`. The error when the file is no ELF file or its
// headers do not fit the buffer.
c_result<elf_image, elf_error> read_elf(std::span<const std::uint8_t> bytes);

// "what (at byte N)": the error as one line for a message.
std::string describe(const elf_error& error);

}  // namespace tarvel::elf
