#include "mapfile/gnu_output_section.h"

#include "mapfile/gnu_section_rules.h"

namespace tarvel::gnu {

bool has_load_image(const output_section& section) {
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
    std::vector<section_piece> pieces = section.pieces;
    std::uint64_t covered = 0;
    for (const section_piece& piece : pieces) {
        covered += piece.size;
    }
    if (section.has_values && covered < section.size) {
        // Older versions of ld print no padding line for a gap made by moving the location
        // counter; the section's own size is what the target holds.
        section_piece rest;
        rest.name = section.name;
        rest.size = section.size - covered;
        rest.address = section.address + covered;
        rest.has_contents = true;
        pieces.push_back(std::move(rest));
    }
    if (has_load_image(section)) {
        const std::size_t run_pieces = pieces.size();
        for (std::size_t i = 0; i < run_pieces; ++i) {
            section_piece image = pieces[i];
            // Unsigned arithmetic modulo 2^64: a piece listed below the section start keeps
            // its distance from the load address all the same.
            image.address = section.load_address + (pieces[i].address - section.address);
            pieces.push_back(std::move(image));
        }
    }
    return pieces;
}

}  // namespace tarvel::gnu
