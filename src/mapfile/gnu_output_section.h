// One output section of a GNU ld map with the pieces read for it, and what counting it gives:
// the pieces themselves, the rest of its size that no piece accounts for, and the copy of its
// initial contents at the load address.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvel::gnu {

// An input section, padding or data statement, with addresses as the map prints them (64-bit
// hosts print 64-bit addresses).
struct section_piece {
    std::string name;
    std::uint64_t address = 0;
    std::uint64_t size = 0;
    std::string file;  // the object file or "archive(member)"; empty for padding and statements
    bool has_contents = false;  // bytes that a load image holds (not zero-initialised data)
};

struct output_section {
    std::string name;
    bool has_values = false;  // an empty section may stand without address and size
    std::uint64_t address = 0;
    std::uint64_t size = 0;
    bool has_load_address = false;
    std::uint64_t load_address = 0;
    std::vector<section_piece> pieces;
};

// Whether the section's contents are stored at a load address of their own: it has a load
// address other than its run address, its name is not that of a section without contents, and
// a piece of nonzero size has contents.
bool has_load_image(const output_section& section);

// The pieces that count for the section: each piece read; where they add up to less than the
// section's size, a piece named after the section for the rest, at the section's end; and,
// for a section with a load image, a copy of each of those at the same offset from the load
// address (same name and file).
std::vector<section_piece> counted_pieces(const output_section& section);

}  // namespace tarvel::gnu
