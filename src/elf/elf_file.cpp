#include "elf/elf_file.h"

#include <string_view>

namespace tarvel::elf {
namespace {

// e_ident: the magic number, then the class (1 ELF32, 2 ELF64) and the byte order (1 little,
// 2 big endian) of everything after it.
constexpr std::size_t ident_size = 16;
constexpr std::size_t ei_class = 4;
constexpr std::size_t ei_data = 5;

// Extended numbering: a file with 0xff00 sections or more stores the section count in section
// 0's sh_size, the string table index in its sh_link and a program header count of 0xffff or
// more in its sh_info.
constexpr std::uint16_t shn_xindex = 0xffff;
constexpr std::uint16_t pn_xnum = 0xffff;

// Where each field lies in the file header and in one entry of each table, by class.
struct header_layout {
    std::size_t header_size;
    std::size_t phoff, shoff, phentsize, phnum, shentsize, shnum, shstrndx;
    std::size_t section_size;  // the least e_shentsize that holds every field below
    std::size_t sh_name, sh_type, sh_flags, sh_addr, sh_offset, sh_size, sh_link, sh_info;
    std::size_t segment_size;
    std::size_t p_type, p_offset, p_vaddr, p_paddr, p_filesz, p_memsz;
    std::size_t word;  // the size of an address, offset or size field: 4 or 8
};

constexpr header_layout elf32_layout{52, 28, 32, 42, 44, 46, 48, 50, 40, 0,  4,  8, 12,
                                     16, 20, 24, 28, 32, 0,  4,  8,  12, 16, 20, 4};
constexpr header_layout elf64_layout{64, 32, 40, 54, 56, 58, 60, 62, 64, 0,  4,  8, 16,
                                     24, 32, 40, 44, 56, 0,  8,  16, 24, 32, 40, 8};

class c_elf_parser {
  public:
    c_elf_parser(std::span<const std::uint8_t> bytes, elf_error& error)
        : bytes_(bytes), error_(error) {}

    std::optional<elf_image> parse();

  private:
    bool fail(std::string message, std::uint64_t offset) {
        error_.message = std::move(message);
        error_.offset = offset;
        return false;
    }

    // An unsigned field of `size` bytes at `offset`, in the file's byte order. The caller has
    // checked that it lies inside the buffer.
    std::uint64_t field(std::uint64_t offset, std::size_t size) const {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const std::size_t index = big_endian_ ? i : size - 1 - i;
            value = (value << 8) | bytes_[static_cast<std::size_t>(offset) + index];
        }
        return value;
    }
    std::uint16_t half(std::uint64_t offset) const {
        return static_cast<std::uint16_t>(field(offset, 2));
    }
    std::uint32_t word32(std::uint64_t offset) const {
        return static_cast<std::uint32_t>(field(offset, 4));
    }
    std::uint64_t word(std::uint64_t offset) const { return field(offset, layout_->word); }

    // Whether `size` bytes from `offset` lie inside the buffer, without overflow.
    bool fits(std::uint64_t offset, std::uint64_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }

    bool read_ident(elf_image& image);
    bool read_table_bounds(std::uint64_t table_offset, std::uint64_t entry_size,
                           std::uint64_t count, std::size_t least_entry_size,
                           std::string_view table, std::size_t offset_field,
                           std::size_t entry_size_field);
    bool read_sections(elf_image& image);
    bool read_section_names(elf_image& image);
    bool read_segments(elf_image& image);
    void assign_load_addresses(elf_image& image) const;

    std::span<const std::uint8_t> bytes_;
    elf_error& error_;
    const header_layout* layout_ = nullptr;
    bool big_endian_ = false;
    std::uint64_t section_table_ = 0;
    std::uint64_t section_entry_ = 0;
    std::uint64_t section_count_ = 0;
    std::uint64_t names_index_ = 0;
    std::uint64_t names_index_field_ = 0;  // where the index was read
    std::uint64_t segment_table_ = 0;
    std::uint64_t segment_entry_ = 0;
    std::uint64_t segment_count_ = 0;
    std::vector<std::uint32_t> name_offsets_;
};

bool c_elf_parser::read_ident(elf_image& image) {
    static constexpr std::uint8_t magic[] = {0x7f, 'E', 'L', 'F'};
    if (bytes_.size() < ident_size) {
        return fail("file too short for an ELF identification (" + std::to_string(bytes_.size()) +
                        " bytes)",
                    0);
    }
    for (std::size_t i = 0; i < sizeof magic; ++i) {
        if (bytes_[i] != magic[i]) {
            return fail("no ELF magic number", 0);
        }
    }
    switch (bytes_[ei_class]) {
        case 1:
            layout_ = &elf32_layout;
            break;
        case 2:
            layout_ = &elf64_layout;
            break;
        default:
            return fail("unknown ELF class " + std::to_string(bytes_[ei_class]), ei_class);
    }
    switch (bytes_[ei_data]) {
        case 1:
            big_endian_ = false;
            break;
        case 2:
            big_endian_ = true;
            break;
        default:
            return fail("unknown ELF byte order " + std::to_string(bytes_[ei_data]), ei_data);
    }
    image.is_64_bit = layout_ == &elf64_layout;
    image.big_endian = big_endian_;
    if (bytes_.size() < layout_->header_size) {
        return fail("file too short for the ELF header (" + std::to_string(bytes_.size()) + " of " +
                        std::to_string(layout_->header_size) + " bytes)",
                    0);
    }
    image.file_type = half(16);
    image.machine = half(18);
    return true;
}

// Checks one header table: entries large enough for the fields read, and the whole table inside
// the buffer. The count is then at most the buffer's size divided by the entry size, which
// bounds every allocation by the size of the file. An error names the file header's field that
// holds the entry size or the table's offset, which always lies in the file.
bool c_elf_parser::read_table_bounds(std::uint64_t table_offset, std::uint64_t entry_size,
                                     std::uint64_t count, std::size_t least_entry_size,
                                     std::string_view table, std::size_t offset_field,
                                     std::size_t entry_size_field) {
    if (count == 0) {
        return true;
    }
    const std::string name(table);
    if (entry_size < least_entry_size) {
        return fail(name + " entry size " + std::to_string(entry_size) + " is below " +
                        std::to_string(least_entry_size),
                    entry_size_field);
    }
    if (table_offset > bytes_.size() || count > (bytes_.size() - table_offset) / entry_size) {
        return fail(name + " (" + std::to_string(count) + " entries of " +
                        std::to_string(entry_size) + " bytes at offset " +
                        std::to_string(table_offset) + ") runs past the end of the file (" +
                        std::to_string(bytes_.size()) + " bytes)",
                    offset_field);
    }
    return true;
}

bool c_elf_parser::read_sections(elf_image& image) {
    const header_layout& l = *layout_;
    section_table_ = word(l.shoff);
    section_entry_ = half(l.shentsize);
    section_count_ = half(l.shnum);
    names_index_ = half(l.shstrndx);
    names_index_field_ = l.shstrndx;
    segment_count_ = half(l.phnum);
    if (section_table_ == 0) {
        section_count_ = 0;
        return true;
    }
    // Section 0 first: with extended numbering it holds the true counts.
    const bool extended =
        section_count_ == 0 || names_index_ == shn_xindex || segment_count_ == pn_xnum;
    if (extended) {
        if (!read_table_bounds(section_table_, section_entry_, 1, l.section_size,
                               "section header table", l.shoff, l.shentsize)) {
            return false;
        }
        if (section_count_ == 0) {
            section_count_ = word(section_table_ + l.sh_size);
        }
        if (names_index_ == shn_xindex) {
            names_index_field_ = section_table_ + l.sh_link;
            names_index_ = word32(names_index_field_);
        }
        if (segment_count_ == pn_xnum) {
            segment_count_ = word32(section_table_ + l.sh_info);
        }
    }
    if (!read_table_bounds(section_table_, section_entry_, section_count_, l.section_size,
                           "section header table", l.shoff, l.shentsize)) {
        return false;
    }
    image.sections.resize(static_cast<std::size_t>(section_count_));
    name_offsets_.resize(static_cast<std::size_t>(section_count_));
    for (std::size_t i = 0; i < image.sections.size(); ++i) {
        const std::uint64_t at = section_table_ + i * section_entry_;
        section_header& section = image.sections[i];
        name_offsets_[i] = word32(at + l.sh_name);
        section.type = word32(at + l.sh_type);
        section.flags = word(at + l.sh_flags);
        section.address = word(at + l.sh_addr);
        section.offset = word(at + l.sh_offset);
        section.size = word(at + l.sh_size);
        section.load_address = section.address;
        if (i != 0 && section.type != sht_nobits && section.type != sht_null &&
            !fits(section.offset, section.size)) {
            return fail("section " + std::to_string(i) + " (" + std::to_string(section.size) +
                            " bytes at offset " + std::to_string(section.offset) +
                            ") runs past the end of the file (" + std::to_string(bytes_.size()) +
                            " bytes)",
                        at + l.sh_offset);
        }
    }
    return true;
}

// Each name is a NUL-terminated string at sh_name in the section-name string table.
bool c_elf_parser::read_section_names(elf_image& image) {
    if (image.sections.empty() || names_index_ == 0) {
        return true;  // no names: every section keeps an empty one
    }
    if (names_index_ >= image.sections.size()) {
        return fail("section name table index " + std::to_string(names_index_) + " is beyond the " +
                        std::to_string(image.sections.size()) + " sections",
                    names_index_field_);
    }
    const section_header& table = image.sections[static_cast<std::size_t>(names_index_)];
    const std::uint64_t table_entry =
        section_table_ + names_index_ * section_entry_ + layout_->sh_offset;
    if (table.type == sht_nobits || !fits(table.offset, table.size)) {
        return fail("section name table has no contents in the file", table_entry);
    }
    const std::string_view strings(
        reinterpret_cast<const char*>(bytes_.data()) + static_cast<std::size_t>(table.offset),
        static_cast<std::size_t>(table.size));
    for (std::size_t i = 0; i < image.sections.size(); ++i) {
        const std::uint32_t start = name_offsets_[i];
        const std::uint64_t name_field = section_table_ + i * section_entry_ + layout_->sh_name;
        if (start == 0 && strings.empty()) {
            continue;
        }
        if (start >= strings.size()) {
            return fail("name of section " + std::to_string(i) + " (offset " +
                            std::to_string(start) + ") is beyond the section name table (" +
                            std::to_string(strings.size()) + " bytes)",
                        name_field);
        }
        const std::size_t end = strings.find('\0', start);
        if (end == std::string_view::npos) {
            return fail("name of section " + std::to_string(i) +
                            " runs past the end of the section name table",
                        name_field);
        }
        image.sections[i].name = std::string(strings.substr(start, end - start));
    }
    return true;
}

bool c_elf_parser::read_segments(elf_image& image) {
    const header_layout& l = *layout_;
    segment_table_ = word(l.phoff);
    segment_entry_ = half(l.phentsize);
    if (segment_table_ == 0) {
        segment_count_ = 0;
    }
    if (!read_table_bounds(segment_table_, segment_entry_, segment_count_, l.segment_size,
                           "program header table", l.phoff, l.phentsize)) {
        return false;
    }
    image.segments.resize(static_cast<std::size_t>(segment_count_));
    for (std::size_t i = 0; i < image.segments.size(); ++i) {
        const std::uint64_t at = segment_table_ + i * segment_entry_;
        program_header& segment = image.segments[i];
        segment.type = word32(at + l.p_type);
        segment.offset = word(at + l.p_offset);
        segment.virtual_address = word(at + l.p_vaddr);
        segment.physical_address = word(at + l.p_paddr);
        segment.file_size = word(at + l.p_filesz);
        segment.memory_size = word(at + l.p_memsz);
        if (segment.type == pt_load && !fits(segment.offset, segment.file_size)) {
            return fail("loadable segment " + std::to_string(i) + " (" +
                            std::to_string(segment.file_size) + " bytes at offset " +
                            std::to_string(segment.offset) + ") runs past the end of the file (" +
                            std::to_string(bytes_.size()) + " bytes)",
                        at + l.p_offset);
        }
    }
    return true;
}

// A section's contents are loaded where its segment's physical address says: the copy that
// start-up code moves to RAM (.data), or code that runs from RAM (.ramfunc), is stored in flash
// at that address. Sections without contents, and sections in no loadable segment, are loaded
// nowhere else than where they run.
void c_elf_parser::assign_load_addresses(elf_image& image) const {
    for (section_header& section : image.sections) {
        if (!section.allocated() || !section.has_contents() || section.type == sht_null) {
            continue;
        }
        for (const program_header& segment : image.segments) {
            if (segment.type != pt_load || section.offset < segment.offset) {
                continue;
            }
            const std::uint64_t into = section.offset - segment.offset;
            if (into <= segment.file_size && section.size <= segment.file_size - into) {
                section.load_address = segment.physical_address + into;
                break;
            }
        }
    }
}

std::optional<elf_image> c_elf_parser::parse() {
    elf_image image;
    if (!read_ident(image) || !read_sections(image) || !read_section_names(image) ||
        !read_segments(image)) {
        return std::nullopt;
    }
    assign_load_addresses(image);
    return image;
}

}  // namespace

c_result<elf_image, elf_error> read_elf(std::span<const std::uint8_t> bytes) {
    elf_error error;
    std::optional<elf_image> image = c_elf_parser(bytes, error).parse();
    if (!image) {
        return error;
    }
    return std::move(*image);
}

std::string describe(const elf_error& error) {
    return error.message + " (at byte " + std::to_string(error.offset) + ")";
}

}  // namespace tarvel::elf
