// The addresses of the target that counted sections already hold.
#pragma once

#include <cstdint>
#include <map>

namespace tarvel::gnu {

// Output sections of a GNU ld map may share addresses: the members of an OVERLAY window, or
// sections that only describe memory reserved elsewhere (a "(COPY)" section prints like any
// other). Each byte of the target counts once: the first section listed at an address holds
// it, and a later one only what lies beyond.
class c_address_coverage {
  public:
    c_address_coverage() = default;
    // The range grown last is kept as an iterator into the table, which a copy would not own.
    c_address_coverage(const c_address_coverage&) = delete;
    c_address_coverage& operator=(const c_address_coverage&) = delete;

    // Marks [from, to) as held and returns how many of its bytes were not held before.
    std::uint64_t claim(std::uint64_t from, std::uint64_t to);

    // Whether a byte that `other` holds is held here or lies in [from, to): where none is,
    // claims made into `other` gave what they would have given after those made here.
    bool shares_bytes_with(const c_address_coverage& other, std::uint64_t from,
                           std::uint64_t to) const;

  private:
    using ranges = std::map<std::uint64_t, std::uint64_t>;
    // Grows `range`, which holds `from`, up to `to`, where no other range lies in between;
    // returns the bytes of [from, to) not held before.
    std::uint64_t grow(ranges::iterator range, std::uint64_t from, std::uint64_t to);
    // Whether `range` holds `from` and may grow to `to`: the next range starts beyond it.
    bool may_grow(ranges::iterator range, std::uint64_t from, std::uint64_t to) const;

    ranges held_;  // disjoint ranges, none touching another: start -> end
    // The range that the last claim made or grew, or the end: a section's pieces follow one
    // another, so the next claim mostly continues it.
    ranges::iterator last_ = held_.end();
};

}  // namespace tarvel::gnu
