#include "mapfile/gnu_elf_witness.h"

#include <cstdio>

namespace tarvel::gnu {

namespace {
std::string hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}
}  // namespace

c_elf_witness::c_elf_witness(std::vector<elf::section_header> sections)
    : sections_(std::move(sections)), matched_(sections_.size(), false) {}

void c_elf_witness::disagree(std::string what) {
    if (disagreement_.empty()) {
        disagreement_ = std::move(what);
    }
}

elf_verdict c_elf_witness::adjust(output_section& section) {
    const bool has_bytes = section.has_values && section.size > 0;
    // Names may repeat (an OVERLAY lists its windows apart): each map section takes the first
    // ELF section of its name that no earlier one took.
    std::size_t found = sections_.size();
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (!matched_[i] && sections_[i].type != elf::sht_null &&
            sections_[i].name == section.name) {
            found = i;
            break;
        }
    }
    if (has_bytes) {
        ++map_sections_;
    }
    if (found == sections_.size()) {
        if (has_bytes) {
            ++missing_;
            if (first_missing_.empty()) {
                first_missing_ = section.name;
            }
            warnings_.push_back("the output section '" + section.name +
                                "' of the map is not in the ELF; its figures are the map's");
        }
        return elf_verdict::not_in_elf;
    }
    matched_[found] = true;
    const elf::section_header& elf = sections_[found];
    if (!elf.allocated()) {
        return elf_verdict::not_allocated;
    }
    if (section.has_values && section.address != elf.address) {
        disagree("the output section '" + section.name + "' is at " + hex(section.address) +
                 " in the map and at " + hex(elf.address) + " in the ELF");
    } else if (section.has_values && elf.size > section.size) {
        disagree("the output section '" + section.name + "' has " + std::to_string(section.size) +
                 " bytes in the map and " + std::to_string(elf.size) + " in the ELF");
    }
    section.has_values = true;
    section.address = elf.address;
    section.size = elf.size;
    section.has_load_address = true;
    section.load_address = elf.load_address;
    section.from_elf = true;
    section.elf_has_contents = elf.has_contents();
    // Thread-local zero data is set up per thread at run time: it takes no room of its own.
    section.elf_takes_room = !(elf.thread_local_storage() && !elf.has_contents());
    return elf_verdict::counted;
}

bool c_elf_witness::shares_names_with(const c_elf_witness& later, std::string_view open) const {
    for (std::size_t i = 0; i < later.sections_.size(); ++i) {
        if (!later.matched_[i]) {
            continue;
        }
        const std::string& name = later.sections_[i].name;
        if (name == open) {
            return true;
        }
        for (std::size_t j = 0; j < sections_.size(); ++j) {
            if (matched_[j] && sections_[j].name == name) {
                return true;
            }
        }
    }
    return false;
}

void c_elf_witness::take_later(const c_elf_witness& later) {
    for (std::size_t i = 0; i < matched_.size() && i < later.matched_.size(); ++i) {
        matched_[i] = matched_[i] || later.matched_[i];
    }
    warnings_.insert(warnings_.end(), later.warnings_.begin(), later.warnings_.end());
    if (disagreement_.empty()) {
        disagreement_ = later.disagreement_;
    }
    map_sections_ += later.map_sections_;
    missing_ += later.missing_;
    if (first_missing_.empty()) {
        first_missing_ = later.first_missing_;
    }
}

void c_elf_witness::finish() {
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        const elf::section_header& elf = sections_[i];
        if (!matched_[i] && elf.allocated() && elf.size > 0) {
            warnings_.push_back("the ELF's section '" + elf.name + "' (" +
                                std::to_string(elf.size) +
                                " bytes) is not in the map; it is not counted");
        }
    }
    // A few sections may be missing (a stripped ELF, a section the map names apart); most
    // missing means the ELF is of another link.
    if (missing_ > 0 && missing_ * 2 > map_sections_) {
        disagree(std::to_string(missing_) + " of the map's " + std::to_string(map_sections_) +
                 " output sections with bytes are not in the ELF, the first '" + first_missing_ +
                 "'");
    }
}

}  // namespace tarvel::gnu
