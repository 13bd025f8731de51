// What a map without memory regions holds, by the kind of its sections: with no region sizes
// to compare with, the use of program memory and RAM split by what the bytes are is what a
// report can say.
#pragma once

#include <cstdint>
#include <string_view>

#include "analysis/usage_model.h"

namespace tarvel {

// The kinds, told from the input sections' names as ld lists them and from where the reader
// placed them. Program memory holds code, constants and the load images of sections that run
// from RAM; RAM holds initialised data (everything with contents that runs there, code copied
// to RAM included) and zero data. Padding and sections of names that say none of these are
// "other", so that each memory's kinds add up to its used bytes.
struct section_kind_use {
    struct program_use {
        std::uint32_t code = 0;
        std::uint32_t constants = 0;
        std::uint32_t load_images = 0;
        std::uint32_t other = 0;
    };
    struct ram_use {
        std::uint32_t data = 0;
        std::uint32_t zero_data = 0;
        std::uint32_t other = 0;
    };
    program_use program;
    ram_use ram;
};

// The used bytes of the model's program and RAM areas by section kind. A program entry is a
// load image when an entry of RAM has its name and object file: ld lists the copy at the load
// address under the input section's own name.
section_kind_use use_by_section_kind(const usage_model& model);

// Whether an input section of program memory holds code (".text*", ".init", ".fini", the ARM
// interworking glue and veneers) or constants (".rodata*", ".srodata*", the unwinding and
// exception tables, the constructor and destructor tables, AVR's ".progmem*", Xtensa literals).
bool names_code(std::string_view input_name);
bool names_constants(std::string_view input_name);

}  // namespace tarvel
