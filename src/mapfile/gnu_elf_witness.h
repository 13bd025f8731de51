// The ELF file of the link that wrote a map, as a second witness of its output sections. The
// section headers tell what a map cannot: whether a section is allocated (a "(COPY)" or
// "(INFO)" section is not), whether it has contents (NOBITS), whether it is thread-local, and
// its final size after merging and relaxation; the program headers give its load address.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "elf/elf_file.h"
#include "mapfile/gnu_output_section.h"

namespace tarvel::gnu {

enum class elf_verdict {
    not_in_elf,     // the ELF has no such section: the map's figures stand
    not_allocated,  // the section takes no target memory: it counts nothing
    counted,        // the section now holds the ELF's figures
};

class c_elf_witness {
  public:
    explicit c_elf_witness(std::vector<elf::section_header> sections);

    // Sets the map's output section to what the ELF says of the section of the same name: its
    // size, load address and whether it has contents and takes room. The map's input pieces
    // are then cut to the ELF's size (or a piece named after the section makes up the rest) by
    // counted_pieces. A section at another address than the ELF's, or larger in the ELF than in
    // the map (merging and relaxation only shrink), comes from another build: the first such
    // is kept as the disagreement.
    elf_verdict adjust(output_section& section);

    // After the whole map: the allocated ELF sections with bytes that the map did not name each
    // give a warning, and a map most of whose sections the ELF lacks is of another build.
    void finish();

    // A witness of the same sections that has taken none: for a later part of the map, read
    // beside the first.
    c_elf_witness fresh_copy() const { return c_elf_witness(sections_); }
    // Whether `later` (a fresh copy) took a section of a name that this witness took, or of
    // `open` (a section that this one's reader has not ended): then `later` may have taken a
    // section that this one took first.
    bool shares_names_with(const c_elf_witness& later, std::string_view open) const;
    // Takes over what `later` took and found, as if it had been asked after this one.
    void take_later(const c_elf_witness& later);

    // One line each, without the program's name.
    const std::vector<std::string>& warnings() const { return warnings_; }
    // Empty while map and ELF agree.
    const std::string& disagreement() const { return disagreement_; }

  private:
    void disagree(std::string what);

    std::vector<elf::section_header> sections_;
    std::vector<bool> matched_;
    std::vector<std::string> warnings_;
    std::string disagreement_;
    std::size_t map_sections_ = 0;  // of the map's sections with bytes, how many
    std::size_t missing_ = 0;       // of those are not in the ELF
    std::string first_missing_;
};

}  // namespace tarvel::gnu
