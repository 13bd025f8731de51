// One output section of a GNU ld map with the pieces read for it, and what counting it gives:
// the bytes each piece holds, the parts of the section that no piece accounts for, and the
// copy of its initial contents at the load address.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel::gnu {

// An input section, padding or data statement, with addresses as the map prints them (64-bit
// hosts print 64-bit addresses). The names are views: a reader keeps their characters (in an
// arena of the section being read) until the section has been counted, so that the copies
// counted_pieces makes cost no allocation.
struct section_piece {
    std::string_view name;
    std::uint64_t address = 0;
    std::uint64_t size = 0;  // as listed
    std::string_view
        file;  // the object file or "archive(member)"; empty for padding and statements
    bool has_contents = false;  // bytes that a load image holds (not zero-initialised data)
    // The bytes of the section that this piece alone holds: [counted_from, + counted).
    std::uint64_t counted_from = 0;
    std::uint64_t counted = 0;
    bool in_load_image = false;  // a copy at the load address, made by counted_pieces
};

struct output_section {
    std::string name;
    bool has_values = false;  // an empty section may stand without address and size
    std::uint64_t address = 0;
    std::uint64_t size = 0;
    bool has_load_address = false;
    std::uint64_t load_address = 0;
    std::vector<section_piece> pieces;
    // Set from the ELF file of the link (gnu_elf_witness.h): then these decide, not the name.
    bool from_elf = false;
    bool elf_has_contents = true;  // not NOBITS
    bool elf_takes_room = true;    // not thread-local zero data
};

// Whether the section may have a load image, whatever pieces the map lists for it: has_load_image
// can then be true only once the pieces are known (the ELF file's word needs none).
bool may_have_load_image(const output_section& section);

// Whether the section's contents are stored at a load address of their own: it has a load
// address other than its run address, its name is not that of a section without contents, and
// a piece of nonzero size has contents.
bool has_load_image(const output_section& section);

// The pieces that count for the section, each with the bytes it holds.
//
// ld lists the pieces in address order, but not always apart: where it merged identical
// constants (".rodata.<fn>.str1.4" with -fdata-sections), each piece keeps the size it had
// before the merge, and the next piece starts at the same address or inside it. So a piece
// holds the bytes from its address up to where the next piece of nonzero size begins, the
// last one up to the section's end, and never a byte that an earlier piece holds: a string
// merged away holds 0 bytes, and the pieces of a section add up to its size.
//
// Where the pieces leave part of the section uncovered (older versions of ld print no padding
// line for a gap made by moving the location counter), a piece named after the section holds
// that part. A section that takes no room of its own (thread-local zero data) holds nothing.
// For a section with a load image, a copy of each piece follows at the same offset from the
// load address (same name, file and counted bytes).
std::vector<section_piece> counted_pieces(const output_section& section);
// The same into `pieces` (emptied first), whose memory a reader reuses from section to section.
void counted_pieces(const output_section& section, std::vector<section_piece>& pieces);

// The copy of a counted piece of `section` in its load image: at the same offset from the load
// address.
section_piece image_copy(const output_section& section, const section_piece& piece);

// The counting of counted_pieces, a piece at a time in map order: a piece can be counted as soon
// as the next piece of nonzero size has been read, so a reader need not hold a section of a
// million pieces to count it. It makes no load image.
class c_piece_counter {
  public:
    // Takes the section's name, extent and whether it takes room; `section` must outlive the
    // counter (the uncovered parts are named after it). Its pieces are not read.
    explicit c_piece_counter(const output_section& section);

    // Appends the part of the section before `piece` that no piece covers, if any, and the
    // counted `piece`. `next` is the address of the next piece of nonzero size, or null where
    // none follows in the section.
    void count(section_piece piece, const std::uint64_t* next, std::vector<section_piece>& out);

    // Appends the part after the last piece that no piece covers, if any.
    void finish(std::vector<section_piece>& out);

  private:
    section_piece uncovered_part(std::uint64_t from, std::uint64_t to) const;

    std::string_view name_;
    bool takes_room_ = true;
    bool has_values_ = false;
    bool started_ = false;
    std::uint64_t section_end_ = 0;
    std::uint64_t cursor_ = 0;
};

}  // namespace tarvel::gnu
