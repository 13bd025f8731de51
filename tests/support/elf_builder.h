// Builds small ELF files in memory for the ELF reader's tests: a header, the program headers,
// each section's contents (zero bytes) one after the other, the section-name table and the
// section header table, in either class and byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "elf/elf_file.h"

namespace tarvel::test {

struct built_section {
    std::string name;
    std::uint32_t type = elf::sht_progbits;
    std::uint64_t flags = elf::shf_alloc;
    std::uint64_t address = 0;
    std::uint64_t size = 0;
};

// A loadable segment over the sections [first, first + count): its file range is theirs.
struct built_segment {
    std::size_t first = 0;
    std::size_t count = 1;
    std::uint64_t virtual_address = 0;
    std::uint64_t physical_address = 0;
    std::uint64_t memory_size = 0;
};

struct elf_layout {
    std::vector<std::uint8_t> bytes;
    std::size_t section_table = 0;  // offset of the section header table
    std::size_t segment_table = 0;
    std::size_t names = 0;  // offset of the section-name table's contents
};

class c_elf_builder {
  public:
    c_elf_builder(bool is_64_bit, bool big_endian) : is_64_(is_64_bit), big_(big_endian) {}

    // Sections get indexes from 1 on, in the order added; the name table comes last.
    c_elf_builder& section(built_section section) {
        sections_.push_back(std::move(section));
        return *this;
    }
    c_elf_builder& segment(built_segment segment) {
        segments_.push_back(segment);
        return *this;
    }

    elf_layout build() const {
        elf_layout out;
        const std::size_t header = is_64_ ? 64 : 52;
        const std::size_t ph_size = is_64_ ? 56 : 32;
        const std::size_t sh_size = is_64_ ? 64 : 40;
        std::vector<std::uint8_t>& b = out.bytes;
        b.assign(header, 0);
        out.segment_table = segments_.empty() ? 0 : header;
        b.resize(header + ph_size * segments_.size());
        // Contents, then names.
        std::vector<std::size_t> offsets;
        for (const built_section& s : sections_) {
            offsets.push_back(b.size());
            if (s.type != elf::sht_nobits) {
                b.resize(b.size() + static_cast<std::size_t>(s.size));
            }
        }
        std::string names(1, '\0');
        std::vector<std::size_t> name_at;
        for (const built_section& s : sections_) {
            name_at.push_back(names.size());
            names += s.name + '\0';
        }
        const std::size_t names_name = names.size();
        names += std::string(".shstrtab") + '\0';
        out.names = b.size();
        b.insert(b.end(), names.begin(), names.end());
        out.section_table = b.size();
        const std::size_t count = sections_.size() + 2;
        b.resize(b.size() + sh_size * count);

        // File header.
        b[0] = 0x7f;
        b[1] = 'E';
        b[2] = 'L';
        b[3] = 'F';
        b[4] = is_64_ ? 2 : 1;
        b[5] = big_ ? 2 : 1;
        b[6] = 1;
        put(b, 16, 2, 2);   // executable
        put(b, 18, 2, 40);  // machine
        put(b, 20, 4, 1);   // version
        const std::size_t w = is_64_ ? 8 : 4;
        put(b, is_64_ ? 32 : 28, w, out.segment_table);
        put(b, is_64_ ? 40 : 32, w, out.section_table);
        const std::size_t h = is_64_ ? 52 : 40;
        put(b, h, 2, header);
        put(b, h + 2, 2, ph_size);
        put(b, h + 4, 2, segments_.size());
        put(b, h + 6, 2, sh_size);
        put(b, h + 8, 2, count);
        put(b, h + 10, 2, count - 1);

        for (std::size_t i = 0; i < sections_.size(); ++i) {
            const built_section& s = sections_[i];
            write_section(b, out.section_table + (i + 1) * sh_size, name_at[i], s.type, s.flags,
                          s.address, offsets[i], s.size);
        }
        write_section(b, out.section_table + (count - 1) * sh_size, names_name, 3, 0, 0, out.names,
                      names.size());

        for (std::size_t i = 0; i < segments_.size(); ++i) {
            const built_segment& p = segments_[i];
            const std::size_t at = out.segment_table + i * ph_size;
            const std::size_t begin = offsets[p.first];
            std::size_t end = begin;
            for (std::size_t k = p.first; k < p.first + p.count; ++k) {
                if (sections_[k].type != elf::sht_nobits) {
                    end = offsets[k] + static_cast<std::size_t>(sections_[k].size);
                }
            }
            put(b, at, 4, elf::pt_load);
            put(b, at + (is_64_ ? 8 : 4), w, begin);
            put(b, at + (is_64_ ? 16 : 8), w, p.virtual_address);
            put(b, at + (is_64_ ? 24 : 12), w, p.physical_address);
            put(b, at + (is_64_ ? 32 : 16), w, end - begin);
            put(b, at + (is_64_ ? 40 : 20), w, std::max<std::uint64_t>(p.memory_size, end - begin));
        }
        return out;
    }

    // Writes `value` into `size` bytes at `offset` in the file's byte order.
    void put(std::vector<std::uint8_t>& b, std::size_t offset, std::size_t size,
             std::uint64_t value) const {
        for (std::size_t i = 0; i < size; ++i) {
            const std::size_t index = big_ ? offset + size - 1 - i : offset + i;
            b[index] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }

    // Field offsets inside a section header of this class.
    std::size_t sh_field(const char* field) const {
        const std::string f(field);
        if (f == "name")
            return 0;
        if (f == "type")
            return 4;
        if (f == "offset")
            return is_64_ ? 24 : 16;
        if (f == "size")
            return is_64_ ? 32 : 20;
        return 0;
    }
    std::size_t word() const { return is_64_ ? 8 : 4; }
    std::size_t section_entry() const { return is_64_ ? 64 : 40; }
    std::size_t shnum_field() const { return is_64_ ? 60 : 48; }
    std::size_t shstrndx_field() const { return is_64_ ? 62 : 50; }
    std::size_t shentsize_field() const { return is_64_ ? 58 : 46; }

  private:
    void write_section(std::vector<std::uint8_t>& b, std::size_t at, std::size_t name,
                       std::uint32_t type, std::uint64_t flags, std::uint64_t address,
                       std::size_t offset, std::uint64_t size) const {
        const std::size_t w = word();
        put(b, at, 4, name);
        put(b, at + 4, 4, type);
        put(b, at + 8, w, flags);
        put(b, at + 8 + w, w, address);
        put(b, at + 8 + 2 * w, w, offset);
        put(b, at + 8 + 3 * w, w, size);
    }

    bool is_64_;
    bool big_;
    std::vector<built_section> sections_;
    std::vector<built_segment> segments_;
};

}  // namespace tarvel::test
