#include "analysis/section_kind_use.h"

#include <array>
#include <functional>
#include <unordered_set>

#include "mapfile/gnu_section_rules.h"

namespace tarvel {

namespace {
template <std::size_t count>
bool starts_with_any(std::string_view name, const std::array<std::string_view, count>& prefixes) {
    for (const std::string_view prefix : prefixes) {
        if (name.starts_with(prefix)) {
            return true;
        }
    }
    return false;
}

// Whole names or prefixes; ".init" is matched whole, as ".init_array" is a table.
constexpr std::array<std::string_view, 3> code_names{".init", ".fini", ".iplt"};
constexpr std::array<std::string_view, 7> code_prefixes{
    ".text", ".gnu.linkonce.t.", ".glue_7", ".vfp11_veneer", ".v4_bx", ".iram", ".plt"};
constexpr std::array<std::string_view, 15> constant_prefixes{
    ".rodata",           ".srodata",    ".gnu.linkonce.r.",
    ".ARM.exidx",        ".ARM.extab",  ".eh_frame",
    ".gcc_except_table", ".init_array", ".fini_array",
    ".preinit_array",    ".ctors",      ".dtors",
    ".progmem",          ".literal",    ".sdata2"};

constexpr std::string_view padding = "*fill*";

// An input section by its name and object file: the key that finds a load image's section.
struct section_key {
    std::string_view name;
    std::uint32_t origin;
    bool operator==(const section_key&) const = default;
};
struct section_key_hash {
    std::size_t operator()(const section_key& key) const {
        return std::hash<std::string_view>{}(key.name) ^ (std::size_t{key.origin} * 0x9E3779B9u);
    }
};
}  // namespace

bool names_code(std::string_view input_name) {
    for (const std::string_view name : code_names) {
        if (input_name == name) {
            return true;
        }
    }
    return starts_with_any(input_name, code_prefixes);
}

bool names_constants(std::string_view input_name) {
    return starts_with_any(input_name, constant_prefixes);
}

section_kind_use use_by_section_kind(const usage_model& model) {
    section_kind_use use;
    std::unordered_set<section_key, section_key_hash> ram_sections;
    for (const entry_usage& placed : model.entries) {
        const c_map_entry& entry = *placed.entry;
        if (model.areas[placed.area].kind != area_kind::ram) {
            continue;
        }
        if (entry.name == padding) {
            use.ram.other += entry.size;
        } else if (gnu::input_without_contents(entry.name)) {
            use.ram.zero_data += entry.size;
        } else {
            use.ram.data += entry.size;
            if (entry.origin != no_origin) {
                ram_sections.insert({entry.name, entry.origin});
            }
        }
    }
    for (const entry_usage& placed : model.entries) {
        const c_map_entry& entry = *placed.entry;
        if (model.areas[placed.area].kind != area_kind::program) {
            continue;
        }
        if (entry.origin != no_origin && ram_sections.contains({entry.name, entry.origin})) {
            use.program.load_images += entry.size;
        } else if (names_code(entry.name)) {
            use.program.code += entry.size;
        } else if (names_constants(entry.name)) {
            use.program.constants += entry.size;
        } else {
            use.program.other += entry.size;
        }
    }
    return use;
}

}  // namespace tarvel
