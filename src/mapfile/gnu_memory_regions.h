// The "Memory Configuration" table of a GNU ld map: the MEMORY regions of the linker script,
// and what kind of memory each one is.
//
//   Name             Origin             Length             Attributes
//   FLASH            0x08000000         0x00010000         xr
//   RAM              0x20000000         0x00005000         xrw
//   data             0x0000000000800100 0x0000000000000800 rw !x
//   *default*        0x00000000         0xffffffff
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel::gnu {

// What a region counts as: program memory and RAM make the ROM and RAM totals; an EEPROM area
// (AVR's "eeprom") and the other areas (AVR's fuses, lock bits and signatures, and regions of
// which the map tells nothing) are listed with their own use but count in neither total.
enum class region_kind { program, ram, eeprom, other };

// How a region's kind was decided, as the reports name it.
enum class kind_source { known_region_name, attributes, contents, name, undecided };
const char* kind_source_name(kind_source source);

struct memory_region {
    std::string name;
    std::uint32_t origin = 0;
    std::uint32_t length = 0;
    std::string attributes;  // as the map prints them; empty when the script gives none
    bool writable = false;   // the attributes allow writing
};

// What the memory map places in a region (by the run address a section starts at, and by the
// load address of a load image).
struct region_contents {
    bool ram_data = false;  // writable data, zero data, stacks and heaps run there
    bool program = false;   // code, constants or load images lie there
};

struct region_decision {
    region_kind kind = region_kind::other;
    kind_source source = kind_source::undecided;
};

// Whether ld's region attributes allow writing. The letters name the kinds of section the
// region takes (r read-only, w writable, x code, a allocated, i or l initialised); a "!"
// reverses the sense of the letters after it, up to the next "!". So "rw!x" is writable
// memory that holds no code, and "rx!w" or "!w" memory that writing sections may not use.
// Letters may stand apart ("rw !x"); case does not matter.
bool attributes_allow_writing(std::string_view attributes);

// The kind the attribute letters say: RAM where writing is allowed, program memory where only
// reading or code is (or writing is denied); nothing without r, w or x.
std::optional<region_kind> kind_by_attributes(std::string_view attributes);

// The kind a region's name says (case does not matter): program memory for "FLASH", "ROM",
// "IROM*", "*flash*", "*rom*", "*text*", "*code*", "*prog*", "*fram*" (MSP430); RAM for "RAM",
// "SRAM*", "DTCM", "CCM*", "DRAM*", "*ram*", "*data*", "*bss*", "*tcm*", "*stack*", "*heap*".
std::optional<region_kind> kind_by_name(std::string_view name);

// Decides a region's kind from all the map says, first what decides: AVR's device regions by
// their names ("eeprom" is EEPROM; "fuse", "lock", "signature" and "user_signatures" are
// other areas), since ld's AVR script gives them the letters of RAM ("rw !x"), and Zephyr's
// "IDT_LIST" (an other area: no memory of the device, though its letters are "wx"); then the
// attribute letters; then what the memory map places there (writable data makes RAM, code,
// constants and load images alone program memory); then the name. A region that none of these
// decides is an other area.
region_decision decide_kind(const memory_region& region, const region_contents& contents);

// Reads one line of the table. False for the heading line, "*default*" (the whole address
// space, no region), a blank line and anything else that is no region line, and for a region
// that begins beyond 32 bits; a region that would reach past 2^32 ends there.
bool read_region_line(std::string_view line, memory_region& region);

// Regions with the same origin and length are one memory under two names (a script's own
// region and one from a board description): the one with attribute letters stays, or the
// first where both or neither have them. Returns, for each region of `regions`, the position
// in the result of the region it became.
std::vector<std::size_t> merge_same_regions(std::vector<memory_region>& regions);

}  // namespace tarvel::gnu
