// Small random inputs of every map type, for tests that compare two programs on many inputs:
// a memory definition with areas, reserved ranges and searches, and a map whose entries lie
// mostly inside the areas, some across their ends or far outside. The same seed gives the
// same input on every platform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel::test {

// splitmix64: small, fast and the same everywhere, unlike the distributions of <random>.
class c_random {
  public:
    explicit c_random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (n > 0).
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
    bool chance(std::uint32_t percent) { return below(100) < percent; }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[below(static_cast<std::uint32_t>(items.size()))];
    }

  private:
    std::uint64_t state_;
};

struct generated_input {
    std::string definition;  // the memory definition file's text
    std::string map;         // the map file's text
};

namespace detail {

struct range {
    std::uint32_t start;
    std::uint32_t size;
};

inline std::string hex(std::uint32_t value, int digits, bool lower = false) {
    char text[16];
    std::snprintf(text, sizeof text, lower ? "%0*x" : "%0*X", digits, static_cast<unsigned>(value));
    return text;
}

// Areas one after the other from `base`, some with a gap, some overlapping the one before.
inline std::vector<range> random_areas(c_random& random, std::uint32_t base, std::uint32_t count,
                                       std::uint32_t max_size) {
    std::vector<range> areas;
    std::uint32_t next = base;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t size = 0x100 + random.below(max_size);
        std::uint32_t start = next;
        if (!areas.empty() && random.chance(15)) {
            start = areas.back().start + areas.back().size / 2;  // overlaps the one before
        } else if (random.chance(40)) {
            start += random.below(0x1000);
        }
        areas.push_back({start, size});
        next = start + size;
    }
    return areas;
}

// A place for an entry of `size`: mostly inside one of `areas`, some across an area's end,
// some in no area at all (`outside`).
inline std::uint32_t random_address(c_random& random, const std::vector<range>& areas,
                                    std::uint32_t size, std::uint32_t outside) {
    const range& area = random.pick(areas);
    const std::uint32_t roll = random.below(100);
    if (roll < 8) {
        return area.start + area.size - size / 2;  // across the end
    }
    if (roll < 15) {
        return outside + random.below(0x10000);
    }
    return area.start + (size < area.size ? random.below(area.size - size) : 0);
}

inline std::string random_search(c_random& random, const std::vector<std::string>& terms) {
    std::string search = "SEARCH";
    const std::uint32_t count = 1 + random.below(3);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t roll = random.below(10);
        search += roll < 5 ? " " : roll < 8 ? " |" : " !";
        search += random.pick(terms);
    }
    return search + "\n";
}

inline std::string definition_text(c_random& random, const std::vector<range>& program,
                                   const std::vector<range>& ram,
                                   const std::vector<range>& reserved,
                                   const std::vector<std::string>& terms) {
    std::string text = "// generated\n";
    for (const range& area : program) {
        text += "PROGRAM 0x" + hex(area.start, 8) + " " + hex(area.size, 1) + "\n";
    }
    for (const range& area : ram) {
        text += "MEMORY  " + hex(area.start, 8) + " 0x" + hex(area.size, 4) + "  // RAM\n";
    }
    if (random.chance(30)) {
        text += "EEPROM 0x7F000000 0x800\n";
    }
    for (const range& area : reserved) {
        text += "RESERVED " + hex(area.start, 6) + " " + hex(area.size, 3) + "\n";
    }
    const std::uint32_t searches = random.below(7);
    for (std::uint32_t i = 0; i < searches; ++i) {
        text += random_search(random, terms);
    }
    return text;
}

}  // namespace detail

// An Orca listing map: fixed-column symbol lines, bit variables in RAM, names that repeat, and
// reserved ranges in the definition.
inline generated_input random_orca_input(std::uint64_t seed) {
    using namespace detail;
    c_random random(seed);
    const std::vector<range> program = random_areas(random, 0x000000, 1 + random.below(3), 0x4000);
    const std::vector<range> ram = random_areas(random, 0x200000, 1 + random.below(3), 0x800);
    std::vector<range> reserved;
    for (std::uint32_t i = random.below(3); i > 0; --i) {
        const range& area = random.pick(random.chance(80) ? program : ram);
        reserved.push_back({area.start + random.below(area.size), 1 + random.below(0x200)});
    }
    const std::vector<std::string> modules{"Can", "Adc", "Os", "Diag", "Nvm", "Pwm", "Test"};
    const std::vector<std::string> words{"Init", "Task", "Table", "Buffer", "Isr", "main"};
    std::vector<std::string> terms = modules;
    terms.insert(terms.end(), {"Task", "Table", "_", "RESERVED", "Reg"});

    generated_input input;
    input.definition = definition_text(random, program, ram, reserved, terms);
    input.map =
        "Memory map of app.abs\n\nName                            Addr    Space Type     Size"
        "    Module\n------------------------------------------------------------\n";
    const std::uint32_t symbols = 5 + random.below(40);
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < symbols; ++i) {
        const bool in_ram = random.chance(35);
        const bool bit = in_ram && random.chance(30);
        const std::uint32_t size = random.chance(5) ? 0 : 1 + random.below(bit ? 16 : 0x300);
        const std::uint32_t address =
            random_address(random, in_ram ? ram : program, size, 0x800000);
        std::string name = "_" + random.pick(modules) + "_" + random.pick(words);
        if (!names.empty() && random.chance(15)) {
            name = random.pick(names);  // the same name again: counted twice by a search
        } else if (random.chance(10)) {
            name = "Reg.R" + std::to_string(random.below(8));
        }
        names.push_back(name);
        std::string line = name + std::string(name.size() < 29 ? 32 - name.size() : 3, '.');
        line += hex(address & 0xFFFFFF, 6) + "  " + (bit ? "BIT  BIT     " : "CODE FUNC    ") +
                " " + hex(size, 6) + "  module.obj\n";
        input.map += line;
        if (random.chance(5)) {
            input.map += "-- page break --\n";
        }
    }
    input.map += "\nNumber of symbols: " + std::to_string(symbols) + "\n";
    return input;
}

// A section map of `type` (Puma, Ibex, Wren or Puma_mem32_unlimited): a section table with the
// format's names, debugging sections, and for Wren the initialised data and the stack symbols.
inline generated_input random_section_input(const std::string& type, std::uint64_t seed) {
    using namespace detail;
    c_random random(seed);
    const bool all_bits = type == "Puma_mem32_unlimited";
    const std::uint32_t rom_base = all_bits ? 0xFE000000u : 0x00000000u;
    const std::uint32_t ram_base = all_bits ? 0xFFF00000u : 0x03F00000u;
    const std::vector<range> program = random_areas(random, rom_base, 1 + random.below(3), 0x8000);
    const std::vector<range> ram = random_areas(random, ram_base, 1 + random.below(2), 0x2000);
    std::vector<std::string> names;
    if (type == "Puma") {
        names = {"text",  "rodata",  "data",        "bss",         "sdata",   "zbss",
                 "stack", "intvect", "DFALib_Text", "EEELib_Text", "syscall", "osstackbss"};
    } else if (type == "Ibex") {
        names = {"text",     "const", "data",   "data, initialized",
                 "bss",      "ISR",   "vector", "NvmBuffer",
                 "MY_STACK", "init",  "CfgId"};
    } else if (type == "Wren") {
        names = {"text", "const", "bss", "ISR", "vector", "NoClear", "init", "PBL", "share"};
    } else {
        names = {"text", "rodata.str1.4", "CanCfg_Const", "bss",
                 "data", "my_section",    "heap",         "zdata"};
    }
    std::vector<std::string> terms = names;
    terms.insert(terms.end(), {"data", "ro", "t", "_", "."});

    generated_input input;
    input.definition = definition_text(random, program, ram, {}, terms);
    input.map =
        "Linker map of app.elf\n\nOutput sections\n\n  Section                 Size      "
        "Address   Attributes\n\n";
    const std::uint32_t sections = 3 + random.below(30);
    std::uint32_t number = 1;
    const auto section = [&](const std::string& token, std::uint32_t size, std::uint32_t address,
                             const std::string& attributes) {
        std::string line = "  " + std::to_string(number++) + "    " + token;
        line += std::string(token.size() < 22 ? 23 - token.size() : 1, ' ');
        input.map += line + hex(size, 8, true) + "  " + hex(address, 8, true) + "  PROGBITS\n" +
                     "       " + attributes + "\n";
        if (random.chance(20)) {
            input.map += "\n";
        }
    };
    for (std::uint32_t i = 0; i < sections; ++i) {
        const bool in_ram = random.chance(35);
        const std::uint32_t size = random.chance(5) ? 0 : 1 + random.below(0x600);
        std::uint32_t address = random_address(random, in_ram ? ram : program, size,
                                               all_bits ? 0x80000000u : 0x02000000u);
        if (!all_bits && random.chance(25)) {
            address |= 0xFC000000u;  // high bits the 26-bit formats leave out
        }
        std::string name = random.pick(names);
        std::string token = (random.chance(80) ? "." : "_") + name;
        if (all_bits && random.chance(25)) {
            token = "[" + token + "]";
        }
        const bool debugging = random.chance(8);
        section(token, size, address,
                debugging ? "flags: DEBUGGING, not loaded"
                : in_ram  ? "flags: WA"
                          : "flags: AX");
    }
    if (type == "Wren" && random.chance(70)) {
        const range& data = random.pick(ram);
        section(".data_begin", 0, data.start, "flags: WA");
        section(".data", 0x40, program.front().start + 0x80, "flags: WA");
    }
    input.map += "\nSymbols\n\n";
    if (type == "Wren" && random.chance(70)) {
        const range& stack = random.pick(ram);
        input.map += hex(stack.start + 0x10, 8, true) + " D __stack_begin\n";
        input.map += hex(stack.start + 0x10 + random.below(0x400), 8, true) + " D __stack_end\n";
    }
    input.map += "00000000 T _start\n\nEnd of map\n";
    return input;
}

// An lld map: output sections of input sections from object files, archive members and the
// linker, with gaps between them, symbol lines, script commands, data loaded from program
// memory, zero-initialised data and sections that are never loaded.
inline generated_input random_lld_input(std::uint64_t seed) {
    using namespace detail;
    c_random random(seed);
    const std::vector<range> program =
        random_areas(random, 0x08000000u, 1 + random.below(3), 0x8000);
    const std::vector<range> ram = random_areas(random, 0x20000000u, 1 + random.below(2), 0x2000);
    const std::vector<std::string> files = {"main.o", "startup.o", "libhal.a(uart.o)",
                                            "libhal.a(gpio.o)", "<internal>"};
    const std::vector<std::string> terms = {"text", "data", "bss", "rodata", "main", ".", "uart"};
    generated_input input;
    input.definition = definition_text(random, program, ram, {}, terms);
    input.map = "     VMA      LMA     Size Align Out     In      Symbol\n";
    const auto row = [&](std::uint32_t address, std::uint32_t load, std::uint32_t size, int level,
                         const std::string& text) {
        input.map += hex(address, 8, true) + " " + hex(load, 8, true) + " " + hex(size, 8, true) +
                     "     4 " + std::string(static_cast<std::size_t>(level) * 8, ' ') + text +
                     "\n";
    };
    std::uint32_t load_cursor = program.back().start + program.back().size / 2;
    const std::uint32_t sections = 2 + random.below(8);
    for (std::uint32_t i = 0; i < sections; ++i) {
        const std::uint32_t kind = random.below(5);  // .text .rodata .data .bss .comment
        const char* names[] = {".text", ".rodata", ".data", ".bss", ".comment"};
        const bool in_ram = kind == 2 || kind == 3;
        struct piece {
            std::uint32_t offset;
            std::uint32_t size;
            std::string name;
        };
        std::vector<piece> pieces;
        std::uint32_t size = 0;
        const std::uint32_t count = random.below(6);
        for (std::uint32_t j = 0; j < count; ++j) {
            size += random.chance(30) ? random.below(8) : 0;  // alignment gap
            const std::uint32_t piece_size = random.chance(10) ? 0 : 1 + random.below(0x200);
            pieces.push_back(
                {size, piece_size, std::string(names[kind]) + "." + random.pick(terms)});
            size += piece_size;
        }
        size += random.chance(20) ? random.below(0x40) : 0;  // a reservation at the end
        const std::uint32_t address =
            kind == 4 ? 0 : random_address(random, in_ram ? ram : program, size, 0x40000000u);
        const std::uint32_t load = kind == 2 ? load_cursor : address;
        load_cursor += kind == 2 ? size : 0;
        row(address, load, size, 0, names[kind]);
        for (const piece& in : pieces) {
            row(address + in.offset, load + in.offset, in.size, 1,
                random.pick(files) + ":(" + in.name + ")");
            if (random.chance(50)) {
                row(address + in.offset, load + in.offset, 0, 2,
                    "sym_" + std::to_string(in.offset));
            }
        }
        if (random.chance(20)) {
            row(address + size, address + size, 0, 0, "_end_" + std::to_string(i) + " = .");
        }
    }
    return input;
}

// Whether random_input makes maps of `type`.
inline bool has_random_input(std::string_view type) {
    return type == "Orca" || type == "Puma" || type == "Ibex" || type == "Wren" ||
           type == "Puma_mem32_unlimited" || type == "Lld";
}

inline generated_input random_input(const std::string& type, std::uint64_t seed) {
    if (type == "Lld") {
        return random_lld_input(seed);
    }
    return type == "Orca" ? random_orca_input(seed) : random_section_input(type, seed);
}

}  // namespace tarvel::test
