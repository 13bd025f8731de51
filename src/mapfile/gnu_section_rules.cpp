#include "mapfile/gnu_section_rules.h"

#include <array>

namespace tarvel::gnu {

namespace {
// Output sections that are never loaded into the target. ld lists them at address 0 (or at
// the address of their own, unrelated numbering), where a program area may begin, and the map
// shows no section flags: they are told by their names, matched whole or as a prefix.
struct unloaded_section {
    std::string_view name;
    bool is_prefix;
    const char* rule;
};
constexpr const char* debugging = "debugging section, not in target memory";
constexpr const char* not_in_target = "section not in target memory";
constexpr std::array<unloaded_section, 21> unloaded_sections{{
    // DWARF debugging information, also compressed, and MIPS's debugging tables.
    {".debug", true, debugging},
    {".zdebug", true, debugging},
    {".mdebug", true, debugging},
    // Stabs debugging information (".stab", ".stabstr").
    {".stab", true, debugging},
    // Line numbers of old COFF-style debugging sections.
    {".line", false, not_in_target},
    // LTO intermediate code and debugging info kept in objects (fat LTO, -ffat-lto-objects).
    {".gnu.debuglto_", true, debugging},
    {".gnu.lto_", true, debugging},
    // Links from a stripped file to its separate debugging file.
    {".gnu_debuglink", false, not_in_target},
    {".gnu_debugaltlink", false, not_in_target},
    // The compiler's identification string and its recorded command line.
    {".comment", false, not_in_target},
    {".GCC.command.line", false, not_in_target},
    // Build attributes that tell the linker and debugger the ABI and the architecture.
    {".ARM.attributes", false, not_in_target},
    {".riscv.attributes", false, not_in_target},
    {".gnu.attributes", false, not_in_target},
    {".gnu.build.attributes", false, not_in_target},
    {".MSP430.attributes", false, not_in_target},
    // MIPS's procedure descriptor table, read by debuggers only.
    {".pdr", false, not_in_target},
    // Xtensa's property tables (which bytes are code, literals or data) and the literal
    // tables for the linker's relaxation; the GCC for Xtensa writes them into every object and
    // ld lists them at address 0.
    {".xt.prop", true, "Xtensa table, not in target memory"},
    {".xt.lit", true, "Xtensa table, not in target memory"},
    {".xt.insn", true, "Xtensa table, not in target memory"},
    // The Xtensa core's configuration, which the tools check for a match.
    {".xtensa.info", false, "Xtensa table, not in target memory"},
}};

constexpr std::array<std::string_view, 8> empty_input_prefixes{
    ".bss",    ".sbss",   ".tbss", ".noinit", ".gnu.linkonce.b.", ".gnu.linkonce.sb.",
    ".dynbss", ".scommon"};

// Input sections whose names begin so hold code, constants or initialised data, whatever
// follows (".text.clear_bss" is a function).
constexpr std::array<std::string_view, 5> content_input_prefixes{".text", ".rodata", ".data",
                                                                 ".literal", ".iram"};

constexpr std::array<std::string_view, 4> reservation_output_prefixes{".stack", "._stack", ".heap",
                                                                      "._heap"};

template <std::size_t N>
bool starts_with_any(std::string_view name, const std::array<std::string_view, N>& prefixes) {
    for (const std::string_view prefix : prefixes) {
        if (name.starts_with(prefix)) {
            return true;
        }
    }
    return false;
}

// Whether a dot-separated part of the name says zero-initialised or kept-over-reset data:
// ".ccmbss", ".dram0.bss", ".dtcm_noinit", ".rtc_noinit".
bool names_zero_data(std::string_view name) {
    return name.find("bss") != std::string_view::npos ||
           name.find("noinit") != std::string_view::npos;
}
}  // namespace

const char* not_in_target_rule(std::string_view output_name, std::uint64_t address) {
    if (output_name == "/DISCARD/") {
        return "discarded input section";
    }
    for (const unloaded_section& section : unloaded_sections) {
        if (section.is_prefix ? output_name.starts_with(section.name)
                              : output_name == section.name) {
            return section.rule;
        }
    }
    if (address == 0 && output_name.starts_with(".note")) {
        return not_in_target;
    }
    return nullptr;
}

bool input_without_contents(std::string_view input_name) {
    if (input_name == "COMMON" || input_name == "*fill*" ||
        starts_with_any(input_name, empty_input_prefixes)) {
        return true;
    }
    return !starts_with_any(input_name, content_input_prefixes) && names_zero_data(input_name);
}

bool output_without_contents(std::string_view output_name) {
    return names_zero_data(output_name) ||
           starts_with_any(output_name, reservation_output_prefixes);
}

bool section_without_room(std::string_view output_name) {
    return output_name == ".tbss" || output_name.starts_with(".tbss.");
}

bool output_is_ram_data(std::string_view output_name) {
    return output_without_contents(output_name) || output_name.starts_with(".data") ||
           output_name.starts_with(".sdata") || output_name.starts_with(".tdata") ||
           output_name.find(".data") != std::string_view::npos;
}

}  // namespace tarvel::gnu
