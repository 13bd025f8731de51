// Load images of GNU ld output sections that the rest of the map may still show were never
// made.
#pragma once

#include <cstdint>
#include <memory_resource>
#include <vector>

#include "mapfile/gnu_output_section.h"
#include "mapfile/name_arena.h"

namespace tarvel::gnu {

// ld keeps one chain of load addresses for each region that AT> names and prints a load
// address for every section placed along it, NOLOAD sections included. Only a section with
// contents moves the chain on: the section after a NOLOAD one prints the same load address
// ("load address 0x080002fc" twice), and nothing else in the map tells the two apart when the
// NOLOAD section's pieces are not named as zero data. So a load image is held until a later
// section shows where the chain went on: a section whose load image, or whose own first byte,
// lies inside the held image's range proves that the image was never made (two images never
// share bytes: ld refuses such a link). A later section with a load address outside the range
// confirms it, as does the end of the map.
class c_load_image_queue {
  public:
    struct image {
        std::uint64_t start = 0;  // the load address
        std::uint64_t end = 0;
        // The pieces of the copy, at their load addresses; from the default memory resource,
        // which the programs make one of large blocks: a section of a million pieces.
        std::pmr::vector<section_piece> pieces;
        // The pieces' names: the reader drops those of a section once it has counted it.
        c_name_arena names;
    };

    // An image of `size` bytes at `load_address`, without pieces yet.
    static image empty_image(std::uint64_t load_address, std::uint64_t size);

    // The load image of a section of `size` bytes at `load_address`: the pieces of `pieces`
    // that are in the load image, taken out of it, their names copied. As counted_pieces makes
    // them, the copies follow all pieces at the run address.
    static image take_image(std::uint64_t load_address, std::uint64_t size,
                            std::vector<section_piece>& pieces);

    void hold(image held);
    bool empty() const { return held_.empty(); }

    // Sees the next output section, which starts at `start` (its load address where the map
    // prints one, else its address): drops the held images that `start` lies in and, where
    // the section has a load address, hands the others to `release`.
    template <class Release>
    void see(std::uint64_t start, bool has_load_address, Release&& release) {
        drop_images_holding(start);
        if (has_load_address) {
            release_all(release);
        }
    }

    template <class Release>
    void release_all(Release&& release) {
        for (image& held : held_) {
            release(held);
        }
        held_.clear();
    }

  private:
    void drop_images_holding(std::uint64_t address);

    std::vector<image> held_;
};

}  // namespace tarvel::gnu
