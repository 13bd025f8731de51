// What the sections of a GNU ld map stand for in the target's memory, decided from their names
// as the map shows them (the map does not print section types or flags).
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvel::gnu {

// The rule by which an output section takes no target memory, or null for one that does:
// debugging information, the compiler's notes, build attributes, LTO and debug-link sections,
// and the Xtensa property and literal tables (the list, with the reason for each, is in the
// source). A ".note*" section at address 0 describes the file (the AVR device information); an
// allocated note (a build id placed in flash) has its real address. What a script puts into
// "/DISCARD/" is left out of the program.
const char* not_in_target_rule(std::string_view output_name, std::uint64_t address);

// Input sections without contents: zero-initialised data (".bss*", ".sbss*", ".tbss*",
// "COMMON", ".scommon", ".dynbss", ".gnu.linkonce.b.*", ".gnu.linkonce.sb.*", and names such
// as ".ccmbss" that say "bss" unless they begin as code, constants or data do), data that is
// kept over a reset (".noinit*", "...noinit...") and padding ("*fill*").
bool input_without_contents(std::string_view input_name);

// Output sections without contents whatever they hold: those whose names say zero-initialised
// data or data kept over a reset (".bss", ".ccmbss", ".dram0.bss", ".noinit", ".rtc_noinit"),
// and the stack and heap reservations (".stack*", "._stack*", ".heap*", "._heap*") that
// scripts declare NOLOAD.
bool output_without_contents(std::string_view output_name);

// Thread-local zero data (".tbss") takes no room of its own: ld lists it at the address where
// the next section begins, which a script may reserve for it (".tbss_space").
bool section_without_room(std::string_view output_name);

// Output sections whose names say writable data: ".data", ".sdata", ".tdata", "<mem>.data",
// and every section without contents.
bool output_is_ram_data(std::string_view output_name);

}  // namespace tarvel::gnu
