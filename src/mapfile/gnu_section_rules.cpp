#include "mapfile/gnu_section_rules.h"

#include <array>

namespace tarvel::gnu {

namespace {
constexpr std::array<std::string_view, 6> unloaded_prefixes{
    ".debug", ".zdebug", ".stab", ".gnu.debuglto_", ".gnu.lto_", ".mdebug"};
constexpr std::array<std::string_view, 11> unloaded_names{".comment",
                                                          ".line",
                                                          ".ARM.attributes",
                                                          ".riscv.attributes",
                                                          ".gnu.attributes",
                                                          ".GCC.command.line",
                                                          ".gnu.build.attributes",
                                                          ".MSP430.attributes",
                                                          ".gnu_debuglink",
                                                          ".gnu_debugaltlink",
                                                          ".pdr"};

constexpr std::array<std::string_view, 8> empty_input_prefixes{
    ".bss",    ".sbss",   ".tbss", ".noinit", ".gnu.linkonce.b.", ".gnu.linkonce.sb.",
    ".dynbss", ".scommon"};

constexpr std::array<std::string_view, 8> empty_output_prefixes{
    ".bss", ".sbss", ".tbss", ".noinit", ".stack", "._stack", ".heap", "._heap"};

template <std::size_t N>
bool starts_with_any(std::string_view name, const std::array<std::string_view, N>& prefixes) {
    for (const std::string_view prefix : prefixes) {
        if (name.starts_with(prefix)) {
            return true;
        }
    }
    return false;
}
}  // namespace

const char* not_in_target_rule(std::string_view output_name, std::uint64_t address) {
    if (output_name == "/DISCARD/") {
        return "discarded input section";
    }
    if (starts_with_any(output_name, unloaded_prefixes)) {
        return "debugging section, not in target memory";
    }
    for (const std::string_view name : unloaded_names) {
        if (output_name == name) {
            return "section not in target memory";
        }
    }
    if (address == 0 && output_name.starts_with(".note")) {
        return "section not in target memory";
    }
    return nullptr;
}

bool input_without_contents(std::string_view input_name) {
    return input_name == "COMMON" || input_name == "*fill*" ||
           starts_with_any(input_name, empty_input_prefixes);
}

bool output_without_contents(std::string_view output_name) {
    return starts_with_any(output_name, empty_output_prefixes);
}

}  // namespace tarvel::gnu
