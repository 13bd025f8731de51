// Random output sections for tests that count a section's pieces as a reader meets them, one
// at a time: pieces that overlap (merged constants), pieces without bytes, gaps that no piece
// covers, and sections that end before, at or after their last piece.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "mapfile/gnu_output_section.h"

namespace tarvel::test {

struct random_section {
    gnu::output_section section;     // its pieces' names are views of `names`
    std::vector<std::string> names;  // reserved whole before the views are taken
    std::vector<bool> is_statement;  // per piece: a data statement ("LONG"), without a file
};

class c_random_sections {
  public:
    explicit c_random_sections(std::uint32_t seed) : seed_(seed) {}

    // A number below `bound`, from a linear congruential sequence: the same for every run.
    std::uint32_t below(std::uint32_t bound) {
        seed_ = seed_ * 1664525u + 1013904223u;
        return (seed_ >> 8) % bound;
    }

    // A section at `address` of 1 to 40 pieces from the files "a.o" and "libx.a(y.o)";
    // `statements`: some pieces are data statements.
    random_section next(const char* name, std::uint64_t address, bool statements) {
        random_section r;
        gnu::output_section& section = r.section;
        section.name = name;
        section.has_values = true;
        section.address = address;
        std::uint64_t cursor = address;
        const std::uint32_t count = 1 + below(40);
        r.names.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            gnu::section_piece p;
            const std::uint32_t kind = below(10);
            if (kind == 0 && cursor > address) {
                // Inside the bytes already listed, as a merged string is.
                p.address =
                    cursor - 1 -
                    below(static_cast<std::uint32_t>(std::min<std::uint64_t>(cursor - address, 8)));
            } else {
                cursor += kind == 1 ? below(16) : 0;  // a gap no line accounts for
                p.address = cursor;
            }
            p.size = kind == 2 ? 0 : below(0x30);
            cursor = std::max(cursor, p.address + p.size);
            const bool statement = statements && kind == 3;
            r.names.push_back(statement ? "LONG" : ".x." + std::to_string(i));
            p.name = r.names.back();
            p.file = statement ? "" : (i % 2 ? "libx.a(y.o)" : "a.o");
            p.has_contents = true;
            section.pieces.push_back(p);
            r.is_statement.push_back(statement);
        }
        section.size = cursor - address + below(8);
        if (below(4) == 0 && section.size > 4) {
            section.size -= 4;
        }
        return r;
    }

  private:
    std::uint32_t seed_;
};

}  // namespace tarvel::test
