#include "mapfile/gnu_output_section.h"

#include <algorithm>

#include "mapfile/gnu_section_rules.h"

namespace tarvel::gnu {

namespace {
section_piece uncovered_part(const output_section& section, std::uint64_t from, std::uint64_t to) {
    section_piece rest;
    rest.name = section.name;
    rest.address = from;
    rest.size = to - from;
    rest.counted_from = from;
    rest.counted = to - from;
    rest.has_contents = true;
    return rest;
}

// The address of the next piece after `position` that has bytes, or none.
bool next_start(const std::vector<section_piece>& pieces, std::size_t position,
                std::uint64_t& address) {
    for (std::size_t i = position + 1; i < pieces.size(); ++i) {
        if (pieces[i].size > 0) {
            address = pieces[i].address;
            return true;
        }
    }
    return false;
}
}  // namespace

bool has_load_image(const output_section& section) {
    if (section.from_elf) {
        return section.elf_has_contents && section.elf_takes_room && section.size > 0 &&
               section.load_address != section.address;
    }
    if (!section.has_load_address || section.load_address == section.address ||
        output_without_contents(section.name)) {
        return false;
    }
    for (const section_piece& piece : section.pieces) {
        if (piece.size > 0 && piece.has_contents) {
            return true;
        }
    }
    return false;
}

std::vector<section_piece> counted_pieces(const output_section& section) {
    std::vector<section_piece> pieces;
    pieces.reserve(section.pieces.size() + 1);
    if (section.from_elf ? !section.elf_takes_room : section_without_room(section.name)) {
        for (section_piece piece : section.pieces) {
            piece.counted_from = piece.address;
            piece.counted = 0;
            pieces.push_back(std::move(piece));
        }
        return pieces;
    }
    // Without values, the section's extent is that of its pieces.
    const std::uint64_t section_end =
        section.has_values ? section.address + section.size : UINT64_MAX;
    std::uint64_t cursor = section.has_values ? section.address : 0;
    if (!section.has_values && !section.pieces.empty()) {
        cursor = section.pieces.front().address;
    }
    for (std::size_t i = 0; i < section.pieces.size(); ++i) {
        section_piece piece = section.pieces[i];
        if (piece.address > cursor && piece.size > 0 && cursor < section_end) {
            pieces.push_back(uncovered_part(section, cursor, std::min(piece.address, section_end)));
            cursor = std::min(piece.address, section_end);
        }
        std::uint64_t end = piece.address + std::min(piece.size, UINT64_MAX - piece.address);
        std::uint64_t next = 0;
        if (next_start(section.pieces, i, next) && next >= piece.address) {
            end = std::min(end, next);
        }
        end = std::min(end, section_end);
        piece.counted_from = std::max(piece.address, cursor);
        piece.counted = end > piece.counted_from ? end - piece.counted_from : 0;
        // A piece of no bytes (an empty ".text" of an object file, listed where the next
        // piece starts) holds nothing, and leaves a gap before it for the uncovered part.
        if (piece.size > 0) {
            cursor = std::max(cursor, end);
        }
        pieces.push_back(std::move(piece));
    }
    if (section.has_values && cursor < section_end) {
        pieces.push_back(uncovered_part(section, cursor, section_end));
    }
    if (has_load_image(section)) {
        const std::size_t run_pieces = pieces.size();
        for (std::size_t i = 0; i < run_pieces; ++i) {
            section_piece image = pieces[i];
            // Unsigned arithmetic modulo 2^64: a piece listed below the section start keeps
            // its distance from the load address all the same.
            image.address = section.load_address + (pieces[i].address - section.address);
            image.counted_from = section.load_address + (pieces[i].counted_from - section.address);
            image.in_load_image = true;
            pieces.push_back(std::move(image));
        }
    }
    return pieces;
}

}  // namespace tarvel::gnu
