// Fuzz target: the ELF header reader and the region occupancy computed from what it read. The
// reader takes a byte buffer, so the input goes to it directly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "elf/elf_file.h"
#include "elf/region_occupancy.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvel::elf;
    const auto image = read_elf(std::span<const std::uint8_t>(data, size));
    if (!image) {
        // A refused file always says what and where.
        if (image.error().message.empty() || image.error().offset > size) {
            std::abort();
        }
        return 0;
    }
    // Every section with contents lies inside the buffer; no table is larger than the file.
    if (image->sections.size() > size || image->segments.size() > size) {
        std::abort();
    }
    for (const section_header& section : image->sections) {
        if (section.has_contents() && section.type != sht_null && section.offset <= size &&
            section.size > size - section.offset && &section != &image->sections.front()) {
            std::abort();
        }
    }
    // Disjoint ranges never count a byte twice: together they hold at most what the sections
    // occupy at their run and load addresses.
    const std::vector<address_range> ranges{
        {0, 0x20000000}, {0x20000000, 0x10000}, {0xffff'ffff'ffff'0000, 0x10000}};
    const std::vector<std::uint64_t> used = occupied_bytes(image->sections, ranges);
    long double bound = 0;
    long double total = 0;
    for (const section_header& section : image->sections) {
        bound += 2.0L * static_cast<long double>(section.size);
    }
    for (const std::uint64_t bytes : used) {
        total += static_cast<long double>(bytes);
    }
    if (total > bound) {
        std::abort();
    }
    return 0;
}
