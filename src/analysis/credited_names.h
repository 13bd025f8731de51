// The set of names that searches were credited with, each with the search it went to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tarvel {

// An open-addressing hash table over copies of the names, kept in large blocks: a listing map
// can credit a million names, and a node-based map would spend more memory on each than the
// name itself takes.
class c_credited_names {
  public:
    // The hash that try_add takes.
    static std::uint32_t hash_of(std::string_view name);

    // Asks the processor to load the table slot where a name of this hash is looked up first:
    // the lookup of a name in a table of a million names is a cache miss, which can then
    // overlap other work.
    void prefetch(std::uint32_t hash) const;

    // The outcome of try_add: the search the name is credited to (the earlier one when it was
    // recorded before), whether it is new, and the recorded copy of the name, which stays
    // valid as long as this table.
    struct credit {
        std::size_t search = 0;
        bool is_new = false;
        std::string_view name;
    };

    // Records `name`, whose hash_of is `hash`, as credited to `search` unless it was recorded
    // before.
    credit try_add(std::string_view name, std::uint32_t hash, std::size_t search);

    std::size_t size() const { return used_; }

  private:
    struct slot {
        const char* stored = nullptr;  // the name's length, then its characters; null: free
        std::uint32_t hash = 0;        // low bits of the name's hash
        std::uint32_t search = 0;
    };

    const char* store(std::string_view name);
    static std::string_view stored_name(const char* stored);
    void grow();

    std::vector<slot> slots_;  // a power of two in size, at most three quarters used
    std::size_t used_ = 0;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr;  // room left in the last block
    std::size_t free_size_ = 0;
};

}  // namespace tarvel
