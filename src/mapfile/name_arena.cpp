#include "mapfile/name_arena.h"

#include <algorithm>

namespace tarvel {

namespace {
// Blocks grow with the arena, from 4 KiB (a few dozen names of a small map) to 1 MiB, so that
// neither a small map nor a large one pays much for the room left in its last block.
constexpr std::size_t first_block_size = 4 * 1024;
constexpr std::size_t largest_block_size = 1024 * 1024;
}  // namespace

void c_name_arena::make_room(std::size_t size) {
    const std::size_t grown = std::clamp(capacity_, first_block_size, largest_block_size);
    const std::size_t block_size = std::max(size, grown);
    // Not value-initialised: only the bytes that names are copied to are ever written.
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(block_size));
    free_ = blocks_.back().get();
    free_size_ = block_size;
    capacity_ += block_size;
}

}  // namespace tarvel
