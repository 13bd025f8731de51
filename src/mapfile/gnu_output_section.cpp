#include "mapfile/gnu_output_section.h"

#include <algorithm>

#include "mapfile/gnu_section_rules.h"

namespace tarvel::gnu {

namespace {
// Thread-local zero data is set up per thread at run time: it takes no room of its own.
bool takes_room(const output_section& section) {
    return section.from_elf ? section.elf_takes_room : !section_without_room(section.name);
}
}  // namespace

bool may_have_load_image(const output_section& section) {
    if (section.from_elf) {
        return has_load_image(section);
    }
    return section.has_load_address && section.load_address != section.address &&
           !output_without_contents(section.name);
}

bool has_load_image(const output_section& section) {
    if (section.from_elf) {
        return section.elf_has_contents && section.elf_takes_room && section.size > 0 &&
               section.load_address != section.address;
    }
    if (!may_have_load_image(section)) {
        return false;
    }
    for (const section_piece& piece : section.pieces) {
        if (piece.size > 0 && piece.has_contents) {
            return true;
        }
    }
    return false;
}

c_piece_counter::c_piece_counter(const output_section& section)
    : name_(section.name),
      takes_room_(takes_room(section)),
      has_values_(section.has_values),
      // Without values, the section's extent is that of its pieces.
      section_end_(section.has_values ? section.address + section.size : UINT64_MAX),
      cursor_(section.has_values ? section.address : 0) {}

section_piece c_piece_counter::uncovered_part(std::uint64_t from, std::uint64_t to) const {
    section_piece rest;
    rest.name = name_;
    rest.address = from;
    rest.size = to - from;
    rest.counted_from = from;
    rest.counted = to - from;
    rest.has_contents = true;
    return rest;
}

void c_piece_counter::count(section_piece piece, const std::uint64_t* next,
                            std::vector<section_piece>& out) {
    if (!takes_room_) {
        piece.counted_from = piece.address;
        piece.counted = 0;
        out.push_back(piece);
        return;
    }
    if (!started_) {
        started_ = true;
        if (!has_values_) {
            cursor_ = piece.address;
        }
    }
    if (piece.address > cursor_ && piece.size > 0 && cursor_ < section_end_) {
        const std::uint64_t gap_end = std::min(piece.address, section_end_);
        out.push_back(uncovered_part(cursor_, gap_end));
        cursor_ = gap_end;
    }
    std::uint64_t end = piece.address + std::min(piece.size, UINT64_MAX - piece.address);
    if (next != nullptr && *next >= piece.address) {
        end = std::min(end, *next);
    }
    end = std::min(end, section_end_);
    piece.counted_from = std::max(piece.address, cursor_);
    piece.counted = end > piece.counted_from ? end - piece.counted_from : 0;
    // A piece of no bytes (an empty ".text" of an object file, listed where the next piece
    // starts) holds nothing, and leaves a gap before it for the uncovered part.
    if (piece.size > 0) {
        cursor_ = std::max(cursor_, end);
    }
    out.push_back(piece);
}

void c_piece_counter::finish(std::vector<section_piece>& out) {
    if (takes_room_ && has_values_ && cursor_ < section_end_) {
        out.push_back(uncovered_part(cursor_, section_end_));
    }
}

section_piece image_copy(const output_section& section, const section_piece& piece) {
    section_piece image = piece;
    // Unsigned arithmetic modulo 2^64: a piece listed below the section start keeps its
    // distance from the load address all the same.
    image.address = section.load_address + (piece.address - section.address);
    image.counted_from = section.load_address + (piece.counted_from - section.address);
    image.in_load_image = true;
    return image;
}

std::vector<section_piece> counted_pieces(const output_section& section) {
    std::vector<section_piece> pieces;
    counted_pieces(section, pieces);
    return pieces;
}

void counted_pieces(const output_section& section, std::vector<section_piece>& pieces) {
    pieces.clear();
    pieces.reserve(section.pieces.size() + 2);
    c_piece_counter counter(section);
    // `next` is the first piece of nonzero size after the one being counted.
    std::size_t next = 0;
    for (std::size_t i = 0; i < section.pieces.size(); ++i) {
        next = std::max(next, i + 1);
        while (next < section.pieces.size() && section.pieces[next].size == 0) {
            ++next;
        }
        const bool has_next = next < section.pieces.size();
        counter.count(section.pieces[i], has_next ? &section.pieces[next].address : nullptr,
                      pieces);
    }
    counter.finish(pieces);
    if (takes_room(section) && has_load_image(section)) {
        const std::size_t run_pieces = pieces.size();
        for (std::size_t i = 0; i < run_pieces; ++i) {
            pieces.push_back(image_copy(section, pieces[i]));
        }
    }
}

}  // namespace tarvel::gnu
