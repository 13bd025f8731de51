#include "mapfile/gnu_load_images.h"

#include <algorithm>

namespace tarvel::gnu {

c_load_image_queue::image c_load_image_queue::empty_image(std::uint64_t load_address,
                                                          std::uint64_t size) {
    image held;
    held.start = load_address;
    held.end = load_address + std::min(size, UINT64_MAX - load_address);
    return held;
}

c_load_image_queue::image c_load_image_queue::take_image(std::uint64_t load_address,
                                                         std::uint64_t size,
                                                         std::vector<section_piece>& pieces) {
    image held = empty_image(load_address, size);
    // counted_pieces puts the copies after the pieces at the run address.
    const auto first_copy =
        std::find_if(pieces.begin(), pieces.end(),
                     [](const section_piece& piece) { return piece.in_load_image; });
    held.pieces.assign(first_copy, pieces.end());
    pieces.erase(first_copy, pieces.end());
    for (section_piece& piece : held.pieces) {
        piece.name = held.names.store(piece.name);
        piece.file = held.names.store(piece.file);
    }
    return held;
}

void c_load_image_queue::hold(image held) {
    if (!held.pieces.empty()) {
        held_.push_back(std::move(held));
    }
}

void c_load_image_queue::drop_images_holding(std::uint64_t address) {
    std::erase_if(held_, [address](const image& held) {
        return address >= held.start && address < held.end;
    });
}

}  // namespace tarvel::gnu
