// Storage for the names of map entries: a listing map holds a million names, and one heap
// string each would cost a million allocations and twice the memory of the names themselves.
#pragma once

#include <cstddef>
#include <memory_resource>
#include <string_view>
#include <vector>

namespace tarvel {

// Copies of names, packed into large blocks that never move: a view that `store` returned stays
// valid as long as the arena, also when the arena itself is moved. The blocks come from the
// default memory resource of the time the arena was made.
class c_name_arena {
  public:
    c_name_arena() = default;
    ~c_name_arena();
    c_name_arena(c_name_arena&& other) noexcept;
    c_name_arena& operator=(c_name_arena&& other) noexcept;
    c_name_arena(const c_name_arena&) = delete;
    c_name_arena& operator=(const c_name_arena&) = delete;

    // A copy of `name` that lives as long as the arena.
    std::string_view store(std::string_view name) {
        if (name.size() > free_size_) {
            make_room(name.size());
        }
        char* copy = free_;
        name.copy(copy, name.size());
        free_ += name.size();
        free_size_ -= name.size();
        return {copy, name.size()};
    }

    // Forgets every name stored so far, keeping the newest block for the names to come: a reader
    // that is done with a run of names reuses its memory instead of asking for more.
    void clear();

    // Takes the blocks of `other` (made from the same memory resource), whose names then live
    // as long as this arena; `other` is left empty.
    void adopt(c_name_arena&& other);

    // Bytes held in blocks, used or not.
    std::size_t capacity() const { return capacity_; }

  private:
    struct block {
        char* data;
        std::size_t size;
    };

    void make_room(std::size_t size);
    void release();

    std::pmr::memory_resource* resource_ = std::pmr::get_default_resource();
    std::vector<block> blocks_;
    char* free_ = nullptr;  // room left in the newest block
    std::size_t free_size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace tarvel
