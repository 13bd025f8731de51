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
    // Marks [from, to) as held and returns how many of its bytes were not held before.
    std::uint64_t claim(std::uint64_t from, std::uint64_t to);

  private:
    std::map<std::uint64_t, std::uint64_t> held_;  // disjoint ranges: start -> end
};

}  // namespace tarvel::gnu
