#include "mapfile/name_arena.h"

#include <algorithm>
#include <utility>

namespace tarvel {

namespace {
// Blocks grow with the arena, from 4 KiB (a few dozen names of a small map) to 2 MiB, the size
// of a large page, so that neither a small map nor a large one pays much for the room left in
// its last block.
constexpr std::size_t first_block_size = 4 * 1024;
constexpr std::size_t largest_block_size = 2 * 1024 * 1024;
}  // namespace

c_name_arena::~c_name_arena() {
    release();
}

c_name_arena::c_name_arena(c_name_arena&& other) noexcept
    : resource_(other.resource_),
      blocks_(std::exchange(other.blocks_, {})),
      free_(std::exchange(other.free_, nullptr)),
      free_size_(std::exchange(other.free_size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

c_name_arena& c_name_arena::operator=(c_name_arena&& other) noexcept {
    if (this != &other) {
        release();
        resource_ = other.resource_;
        blocks_ = std::exchange(other.blocks_, {});
        free_ = std::exchange(other.free_, nullptr);
        free_size_ = std::exchange(other.free_size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void c_name_arena::release() {
    for (const block& held : blocks_) {
        resource_->deallocate(held.data, held.size, 1);
    }
    blocks_.clear();
}

void c_name_arena::adopt(c_name_arena&& other) {
    // In front: the newest block, where the next name goes, stays last.
    blocks_.insert(blocks_.begin(), other.blocks_.begin(), other.blocks_.end());
    capacity_ += std::exchange(other.capacity_, 0);
    other.blocks_.clear();
    other.free_ = nullptr;
    other.free_size_ = 0;
}

void c_name_arena::clear() {
    if (blocks_.size() <= 1) {
        // A reader clears after every few names: most often there is one block to rewind.
        if (!blocks_.empty()) {
            free_ = blocks_.front().data;
            free_size_ = blocks_.front().size;
        }
        return;
    }
    const block newest = blocks_.back();
    blocks_.pop_back();
    release();
    blocks_.push_back(newest);
    free_ = newest.data;
    free_size_ = newest.size;
    capacity_ = newest.size;
}

void c_name_arena::make_room(std::size_t size) {
    const std::size_t grown = std::clamp(capacity_, first_block_size, largest_block_size);
    const std::size_t block_size = std::max(size, grown);
    // Uninitialised: only the bytes that names are copied to are ever written.
    blocks_.reserve(blocks_.size() + 1);
    char* data = static_cast<char*>(resource_->allocate(block_size, 1));
    blocks_.push_back({data, block_size});
    free_ = data;
    free_size_ = block_size;
    capacity_ += block_size;
}

}  // namespace tarvel
