// How many bytes of each memory region a linked program occupies, from its ELF section headers.
// This is the reference the map readers' figures are checked against.
//
// Each allocated section occupies its run address range and, when its contents are stored
// elsewhere (load address differs from run address: initial values of .data, code copied to
// RAM, overlays), its load address range too. `.tbss` (no contents, thread-local) occupies
// nothing: its address only describes the layout of each thread's block, and the section
// overlaps whatever follows it. Sections that are not allocated (debugging, comments) occupy
// nothing. Where ranges overlap (the members of an OVERLAY share their run address) the bytes
// count once. A section counts whole in the range where it begins, as ld assigns it to the
// region its address lies in: the region of a link that overflowed shows more bytes than it
// holds. The sections ld placed after it in that region begin past the region's end, in no
// range: they count there too.
//
// Neither `size -B` nor ld's --print-memory-usage serves as this reference. `size -B` sorts
// sections by their flags, not by where they lie: code that runs from RAM counts as text,
// writable arrays placed in flash as data, and initial values of .data once only. ld's
// --print-memory-usage reports how far each region's location counter advanced: it misses load
// images placed with AT(address) rather than AT> region, and counts the alignment holes
// between sections.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "elf/elf_file.h"

namespace tarvel::elf {

struct address_range {
    std::uint64_t origin = 0;
    std::uint64_t length = 0;
};

// The occupied bytes of each of `ranges`, in their order.
std::vector<std::uint64_t> occupied_bytes(std::span<const section_header> sections,
                                          std::span<const address_range> ranges);

}  // namespace tarvel::elf
