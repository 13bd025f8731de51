// What the sections of a GNU ld map stand for in the target's memory, decided from their names
// as the map shows them (the map does not print section types or flags).
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvel::gnu {

// The rule by which an output section takes no target memory, or null for one that does.
// Debugging information (".debug*", ".zdebug*", ".stab*", ".line"), the compiler's notes
// (".comment", ".GCC.command.line"), build attributes (".ARM.attributes", ".riscv.attributes",
// ".gnu.attributes", ".gnu.build.attributes", ".MSP430.attributes") and LTO or debug-link
// sections are never loaded: ld lists them at address 0, where a program area may begin, so
// they are told by their names. A ".note*" section at address 0 describes the file (the AVR
// device information); an allocated note (a build id placed in flash) has its real address.
// What a script puts into "/DISCARD/" is left out of the program.
const char* not_in_target_rule(std::string_view output_name, std::uint64_t address);

// Input sections without contents: zero-initialised data (".bss*", ".sbss*", ".tbss*",
// "COMMON", ".scommon", ".dynbss", ".gnu.linkonce.b.*", ".gnu.linkonce.sb.*"), data that is
// kept over a reset (".noinit*") and padding ("*fill*").
bool input_without_contents(std::string_view input_name);

// Output sections without contents whatever they hold: zero-initialised data, ".noinit", and
// the stack and heap reservations (".stack*", "._stack*", ".heap*", "._heap*") that scripts
// declare NOLOAD.
bool output_without_contents(std::string_view output_name);

}  // namespace tarvel::gnu
