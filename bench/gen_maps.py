#!/usr/bin/env python3
"""Generates large, realistic map files and matching memory definition files for benchmarks.

Section maps (Puma, Ibex, Wren, Puma_mem32_unlimited) get a section table of a few hundred
sections followed by the long global-symbol and cross-reference listings that make real maps
big; Wren maps list their symbols as "address TYPE name" lines, with the stack symbols near the
end. Orca listing maps get one fixed-column symbol line per symbol. Each definition file places
most entries and carries a few dozen searches.

The output depends only on the arguments (fixed random seed), so a file can be regenerated
instead of kept. Writes <out>/<stem>.map, <out>/<stem>.def and <out>/<stem>.json (what was
generated, including the number of entries the definition places).

With --overlap heavy (Orca only) the definition is the worst case for the search accounting:
two program areas hold every symbol, and the searches pick software modules so that each module
is named by two of them: most names match two searches, and the ambiguity file gets about a
line per symbol.

Armlink, Iar and Ti maps get the tables of input sections of a few thousand sections (with
totals that agree with them) and the long symbol and cross-reference listings that make real
maps of these linkers big, as the section maps do.

Gnu maps are GNU ld maps of an arm-none-eabi link (memory regions, output sections of many
input sections from object files and archives, padding, symbols, .data stored in flash), with
the ELF file of the same link beside them (<stem>.elf, its section headers equal to the map's
output sections) for tarvel-report --elf.

Examples:
  gen_maps.py --type Puma --size-mb 200 --out bench/data
  gen_maps.py --type Armlink --size-mb 200 --sections 5000 --out bench/data
  gen_maps.py --type Gnu --size-mb 200 --out bench/data
  gen_maps.py --type Orca --symbols 1000000 --searches 30 --out bench/data
  gen_maps.py --type Orca --symbols 1000000 --overlap heavy --crlf --out bench/data
"""

import argparse
import json
import os
import random
import sys

MODULES = [
    "Adc", "App", "BswM", "Can", "CanIf", "CanNm", "CanSM", "CanTp", "Com", "ComM", "Crc",
    "Csm", "Dcm", "Dem", "Det", "Dio", "Dlt", "EcuM", "Fee", "Fls", "FrIf", "Gpt", "Icu",
    "IoHwAb", "Lin", "LinIf", "Mcu", "MemIf", "Nm", "NvM", "Os", "PduR", "Port", "Pwm",
    "Rte", "SchM", "SoAd", "Spi", "StbM", "TcpIp", "Wdg", "WdgM", "Xcp", "Ctrl", "Diag",
    "Hal", "Ipd", "Sens", "Motor", "Brake", "Light", "Door", "Seat", "Test",
]
WORDS = [
    "Init", "DeInit", "MainFunction", "Read", "Write", "Get", "Set", "Status", "Callback",
    "Rx", "Tx", "Indication", "Confirmation", "Process", "Handle", "Update", "Check", "Start",
    "Stop", "Reset", "Config", "Buffer", "Table", "Queue", "State", "Mode", "Request",
    "Response", "Timer", "Event", "Error", "Notify", "Copy", "Compare", "Filter", "Convert",
    "Lookup", "Calc", "Data", "Info", "Block", "Frame", "Signal", "Pdu", "Channel", "Cycle",
]
OBJECT_FILES = ["%s_%s.o" % (m.lower(), w.lower()) for m in MODULES for w in WORDS[:6]]

PUMA_NAMES = [
    "appinfo", "bss", "cfginfo", "data", "DFALib_TextRam", "DFALib_Text", "EEELib_Text",
    "fblflashblocks", "fixaddr", "fixtype", "intvect", "noclrdatanvmflashblocks",
    "osstackbss", "osstackdata", "osstacksbss", "osstacksdata", "osstacktata", "osstackzdata",
    "osstackzbss", "pblflashblocks", "robase", "rodata", "romdata", "romsdata", "romtdata",
    "romzdata", "rosdata", "rozdata", "sbss", "sdabase", "sdata", "secinfo", "sharedata",
    "stack", "sldata", "syscall", "tdata", "text", "zbss", "zdata",
]
IBEX_NAMES = [
    "bsct", "ubsct", "share", "data", "data, initialized", "bss", "IpdSysTestRam",
    "HalADCRam", "IpdEepRam", "IpdParamRam", "NvmBuffer", "NoClear", "MY_STACK", "eeprom",
    "OptBytes", "OptByTMU", "OptByBL", "vector", "PBL", "const", "text", "ISR", "STARTUPFUNC",
    "CfgId", "Reserved", "init",
]
WREN_NAMES = [
    "bsct", "ubsct", "share", "data_begin", "data", "bss", "NoClear", "MY_STACK", "eeprom",
    "OptBytes", "OptByTMU", "OptByBL", "vector", "PBL", "const", "text", "ISR", "STARTUPFUNC",
    "CfgId", "Reserved", "init",
]
# Sections of other toolchains and debugging sections, which the listed-name readers skip.
OTHER_SECTIONS = ["comment", "debug_info", "debug_line", "debug_abbrev", "debug_str",
                  "debug_frame", "heap", "note.renesas", "gnu.attributes", "ARM.attributes"]
RAM_HINTS = ("bss", "data", "stack", "RAM", "Ram", "Buffer", "NoClear", "share", "bsct",
             "tdata", "sdabase")

# Section maps: ROM below 0x00200000 and RAM at the top of the 26-bit space (the readers keep
# the low 26 bits of an address); Puma_mem32_unlimited keeps all 32 bits.
SECTION_AREAS = {
    "rom": [(0x00000000, 0x00100000), (0x00100000, 0x00100000), (0x00FE0000, 0x00010000)],
    "ram": [(0x03F00000, 0x000F0000), (0x03FF0000, 0x00010000)],
}
MEM32_AREAS = {
    "rom": [(0xFE000000, 0x00200000), (0xFEFE0000, 0x00010000)],
    "ram": [(0xFFF00000, 0x000F0000), (0xFFFF0000, 0x00010000)],
}
# Orca listing maps: 24-bit addresses; ROM low, RAM high, an unmapped gap between them.
ORCA_AREAS = {
    "rom": [(0x000000, 0x200000), (0x200000, 0x200000)],
    "ram": [(0xF00000, 0x0C0000), (0xFC0000, 0x040000)],
}
# Heavy overlap: two program areas cover the whole 24-bit space, so every symbol is a program
# entry; the RAM area lies above it and stays empty.
ORCA_HEAVY_AREAS = {
    "rom": [(0x000000, 0x800000), (0x800000, 0x800000)],
    "ram": [(0x1000000, 0x100000)],
}


def parse_size(text):
    return int(float(text) * 1024 * 1024)


class Writer:
    """Buffers lines and writes them in large pieces; counts bytes."""

    def __init__(self, path, line_end):
        self.file = open(path, "w", encoding="latin-1", newline="")
        self.line_end = line_end
        self.parts = []
        self.pending = 0
        self.written = 0

    def line(self, text):
        text += self.line_end
        self.parts.append(text)
        self.pending += len(text)
        if self.pending >= 1 << 20:
            self.flush()

    def flush(self):
        self.file.write("".join(self.parts))
        self.written += self.pending
        self.parts = []
        self.pending = 0

    @property
    def size(self):
        return self.written + self.pending

    def close(self):
        self.flush()
        self.file.close()


def in_areas(address, size, areas):
    """The position of the first area holding [address, address + size), or None."""
    if size == 0:
        return None
    for i, (start, length) in enumerate(areas):
        if start <= address and address + size <= start + length:
            return i
    return None


def symbol_name(rng, serial):
    module = rng.choice(MODULES)
    name = "%s_%s%s" % (module, rng.choice(WORDS), rng.choice(WORDS))
    roll = rng.random()
    if roll < 0.4:
        name += "_%d" % serial
    elif roll < 0.5:
        name = "%s_%s_%s" % (module, rng.choice(WORDS).lower(), rng.choice(WORDS).lower())
    return name


# ---------------------------------------------------------------------------------------------
# Section maps


def section_table(rng, kind, count):
    """The sections of the table: (name token, size, address, attributes)."""
    if kind == "Puma_mem32_unlimited":
        areas = MEM32_AREAS
        names = PUMA_NAMES + ["mysection", "can_buffers", "lin.rodata", "os_core0.text",
                              "calib_data", "ramcode"]
    else:
        areas = SECTION_AREAS
        names = {"Puma": PUMA_NAMES, "Ibex": IBEX_NAMES, "Wren": WREN_NAMES}[kind]
    rom_next = [start for start, _ in areas["rom"]]
    ram_next = [start for start, _ in areas["ram"]]
    sections = []
    for serial in range(count):
        roll = rng.random()
        if roll < 0.06:
            name = rng.choice(OTHER_SECTIONS)
            sections.append(("." + name, rng.randrange(0x100, 0x40000), 0, "NOTE",
                             "flags: DEBUGGING, not loaded" if "debug" in name else
                             "flags: INFO, align 4"))
            continue
        name = rng.choice(names)
        if kind == "Puma_mem32_unlimited":
            token = rng.choice(["." + name, "[." + name + "]", name, "." + name + "_%d" % serial])
        else:
            token = rng.choice([".", ".", ".", "_"]) + name
        size = rng.randrange(0x10, 0x2000)
        is_ram = any(hint in name for hint in RAM_HINTS)
        bank = ram_next if is_ram else rom_next
        which = rng.randrange(len(bank))
        address = bank[which]
        limit = (areas["ram"] if is_ram else areas["rom"])[which]
        if address + size > limit[0] + limit[1]:
            address = rng.randrange(0x04000000, 0x05000000)  # beyond every area
        else:
            bank[which] = (address + size + 3) & ~3
        if kind != "Puma_mem32_unlimited" and rng.random() < 0.3:
            address |= 0xFC000000  # high address bits that the 26-bit mask removes
        sections.append((token, size, address, "PROGBITS",
                         "flags: %s, align 4" % ("WA" if is_ram else "AX")))
    if kind == "Wren":
        # The correction of the initialised data needs ".data" and ".data_begin".
        sections.append((".data_begin", 0x200, 0x03F80000, "PROGBITS", "flags: WA, align 4"))
        sections.append((".data", 0x200, 0x0007F000, "PROGBITS", "flags: WA, align 4"))
    return sections, areas


def write_section_map(args, path):
    rng = random.Random(args.seed)
    kind = args.type
    target = parse_size(args.size_mb)
    sections, areas = section_table(rng, kind, args.sections)
    out = Writer(path, args.line_end)
    out.line("Linker map of application.elf")
    out.line("")
    out.line("Image summary")
    out.line("")
    out.line("  Section                 Size      Address   Attributes")
    out.line("")
    placed = 0
    for number, (token, size, address, kind_text, attributes) in enumerate(sections, 1):
        out.line("  %-4d %-22s %08x  %08x  %s" % (number, token, size, address, kind_text))
        out.line("       " + attributes)
        if number % 7 == 0:
            out.line("")
        # Approximate: the readers' own rules (dropped sections, the Wren correction) decide.
        mask = 0xFFFFFFFF if kind == "Puma_mem32_unlimited" else 0x03FFFFFF
        if kind_text == "PROGBITS" and (in_areas(address & mask, size, areas["rom"]) is not None
                                        or in_areas(address & mask, size, areas["ram"]) is not None):
            placed += 1

    stack_lines = []
    if kind == "Wren":
        stack_lines = ["03ff8000 D __stack_begin", "03ffa000 D __stack_end",
                       "03ff8000 D __stack_begin_core1", "03FFA000 D __stack_end"]

    # The bulk: symbol listing, then cross references, each about half of what remains.
    symbols_end = out.size + (target - out.size) * 55 // 100
    out.line("")
    out.line("Global symbols")
    out.line("")
    if kind == "Wren":
        out.line("Address  Type Name")
    else:
        out.line("  Address   Size      Type  Name")
    address = 0x00000600
    serial = 0
    types = ["FUNC", "FUNC", "FUNC", "OBJECT", "OBJECT", "NOTYPE"]
    wren_types = ["T", "T", "T", "D", "B", "R", "W"]
    while out.size < symbols_end:
        serial += 1
        size = rng.randrange(2, 0x800)
        name = symbol_name(rng, serial)
        if kind == "Wren":
            out.line("%08x %s %s" % (address, rng.choice(wren_types), name))
        else:
            out.line("  %08x  %08x  %-7s%s" % (address, size, rng.choice(types), name))
        address = (address + size) & 0x00FFFFFF
    out.line("")
    out.line("Cross references")
    out.line("")
    out.line("  Symbol                                  Defined in            Referenced in")
    xref_end = target - 64 * len(stack_lines) - 16
    while out.size < xref_end:
        serial += 1
        name = symbol_name(rng, serial)
        refs = " ".join(rng.choice(OBJECT_FILES) for _ in range(rng.randrange(1, 4)))
        out.line("  %-40s%-22s%s" % (name, rng.choice(OBJECT_FILES), refs))
        if rng.random() < 0.2:
            out.line("  %-40s%-22s%s" % ("", "", " ".join(
                rng.choice(OBJECT_FILES) for _ in range(rng.randrange(1, 5)))))
    if stack_lines:
        out.line("")
        out.line("Stack symbols")
        for line in stack_lines:
            out.line(line)
    out.line("")
    out.line("End of map")
    out.close()
    # Wren adds "rodata" and "stack" entries after the table.
    extra = 2 if kind == "Wren" else 0
    return {"bytes": out.written, "sections": len(sections), "placed_entries": placed + extra}


def section_searches(kind, count):
    base = ["text !DFALib !EEELib", "|rodata |rosdata |rozdata", "Lib", "|data |ro",
            "|intvect |syscall |secinfo |fixaddr |fixtype |appinfo |cfginfo", "stack !os",
            "|bss |zbss |sbss", "const", "|vector |ISR", "PBL", "|Opt |Cfg", "init !Test",
            "|eeprom |Nvm", "os", "|tdata |sdata", "|flash |fbl", "text data", "Reserved",
            "|STARTUP |syscall", "|share |bsct", "!text", "|mysection |calib", "ramcode",
            "|ro |const |text", "|appinfo |cfginfo |secinfo", "|data, |init", "zdata",
            "|romdata |romsdata |romtdata |romzdata", "|Ram |RAM", "|_ |."]
    return [base[i % len(base)] for i in range(count)]


# ---------------------------------------------------------------------------------------------
# Orca listing maps


def base36(number):
    digits = "0123456789abcdefghijklmnopqrstuvwxyz"
    text = ""
    while True:
        number, digit = divmod(number, 36)
        text = digits[digit] + text
        if number == 0:
            return text


def orca_line(name, address, size, bit):
    # Columns: name and dotted leader up to 31, address at 32-37, type columns, size at 54-59.
    lead = name + "." * max(3, 31 - len(name))
    lead = lead.ljust(32)
    kinds = "  BIT  BIT       " if bit else "  DATA  CODE      "
    return "%s%06X%s%06X  GLOBAL" % (lead, address, kinds[:16], size)


def write_orca_map(args, path, areas):
    rng = random.Random(args.seed)
    out = Writer(path, args.line_end)
    out.line("Memory map of application.abs")
    out.line("Tool version 6.2, linker listing")
    out.line("")
    out.line("Name                            Address  Type      Size    Scope")
    out.line("")
    placed_program = 0
    placed_memory = 0
    rom_address = 0x000100
    ram_address = 0xF00000
    names = []
    for serial in range(args.symbols):
        roll = rng.random()
        bit = False
        if serial % 997 == 0:
            out.line("-- page %d --" % (serial // 997 + 1))
        if roll < 0.70:
            size = rng.randrange(2, 0x300)
            address = rom_address
            rom_address += size
            if rom_address >= 0x3F0000:
                rom_address = 0x000100
        elif roll < 0.95:
            size = rng.randrange(1, 0x80)
            address = ram_address
            ram_address += size
            if ram_address >= 0xFF0000:
                ram_address = 0xF00000
        elif roll < 0.98:
            size = rng.randrange(1, 8)
            address = rng.randrange(0xFC0000, 0xFFFF00)
            bit = True
        else:
            size = rng.randrange(1, 0x100)
            address = rng.randrange(0x800000, 0x900000)  # outside every area
        # Unique names (a symbol per function or variable), a few repeated below.
        name = "%s_%s%s_%s" % (rng.choice(MODULES), rng.choice(WORDS), rng.choice(WORDS)[:5],
                               base36(serial))
        name = name[:27]
        if serial % 101 == 0:
            name = "Reg.%s" % name[:20]
        elif serial % 211 == 0 and names:
            name = rng.choice(names)  # the same name in two modules: a repeated match
        if len(names) < 4096:
            names.append(name)
        out.line(orca_line(name, address, size, bit))
        if in_areas(address, size, areas["rom"]) is not None:
            placed_program += 1
        elif in_areas(address, size, areas["ram"]) is not None:
            placed_memory += 1
    out.line("")
    out.line("Number of symbols: %d" % args.symbols)
    out.line("End of listing")
    out.close()
    return {"bytes": out.written, "symbols": args.symbols,
            "placed_entries": placed_program + placed_memory,
            "program_entries": placed_program}


def orca_searches(rng, count):
    """Searches by software module, as a build team writes them: mostly one module or a group
    of modules each, some excluding test code, a few overlapping on purpose."""
    modules = MODULES[:]
    rng.shuffle(modules)
    searches = []
    for i in range(count):
        form = i % 6
        group = [modules[(2 * i + k) % len(modules)] for k in range(2)]
        if form == 0:
            searches.append("%s_ !Test" % group[0])
        elif form == 1:
            searches.append("|%s_ |%s_" % (group[0], group[1]))
        elif form == 2:
            searches.append("%s_ %s" % (group[0], rng.choice(WORDS)))  # part of a module
        elif form == 3:
            searches.append("|%s_ |%s_ !Init" % (group[0], group[1]))
        elif form == 4:
            searches.append("Reg. |%s" % group[0])
        else:
            searches.append("|%s_Main |%s_Main" % (group[0], rng.choice(MODULES)))  # overlaps
    return searches


def orca_heavy_searches(count):
    """Searches over the modules in which every module is a term of two searches: the one at
    m % count and another one spread by 3 * m + 1. A name holds its module followed by "_", so
    most names match exactly two searches (modules whose name ends another one, "Nm" in
    "CanNm", make some match more); every third search keeps test code out."""
    if count == 0:
        return []
    members = [[] for _ in range(count)]
    for m, module in enumerate(MODULES):
        first = m % count
        second = (3 * m + 1) % count
        if second == first and count > 1:
            second = (second + 1) % count
        members[first].append(module)
        if second != first:
            members[second].append(module)
    searches = []
    for k in range(count):
        group = members[k] or [MODULES[k % len(MODULES)]]
        terms = ["|%s_" % module for module in group]
        if k % 3 == 2 and "Test" not in group:
            terms.append("!Test_")
        searches.append(" ".join(terms))
    return searches


# ---------------------------------------------------------------------------------------------


LLD_AREAS = {"rom": [(0x00000000, 0x40000000)], "ram": [(0x40000000, 0x40000000)]}


def write_lld_map(args, path):
    """An lld map (ld.lld -Map): output sections of many input sections, each with a symbol,
    from object files and archive members; flash first, then RAM with its data loaded from
    flash, then the sections that are never loaded."""
    rng = random.Random(args.seed)
    out = Writer(path, args.line_end)
    out.line("     VMA      LMA     Size Align Out     In      Symbol")
    target = parse_size(args.size_mb)
    entries = 0
    serial = 0
    flash = 0x00000000
    ram = 0x40000000
    kinds = [(".text", "rom"), (".rodata", "rom"), (".data", "ram"), (".bss", "ram")]
    while out.size < target:
        for name, where in kinds:
            pieces = []
            start = flash if where == "rom" else ram
            address = start
            for _ in range(2000):
                size = rng.randint(1, 256)
                address = (address + 3) & ~3
                obj = rng.choice(OBJECT_FILES)
                if rng.random() < 0.3:
                    obj = "lib%s.a(%s)" % (obj.split("_")[0], obj)
                serial += 1
                pieces.append((address, size, obj, "%s.%s" % (name, symbol_name(rng, serial))))
                address += size
            size = address - start
            load = start if name != ".data" else flash + size
            out.line("%8x %8x %8x %5d %s" % (start, load, size, 4, name))
            for piece_address, piece_size, obj, piece_name in pieces:
                offset = piece_address - start
                out.line("%8x %8x %8x %5d         %s:(%s)" % (
                    piece_address, load + offset, piece_size, 4, obj, piece_name))
                out.line("%8x %8x %8x %5d                 %s" % (
                    piece_address, load + offset, 0, 1, piece_name.split(".")[-1]))
                entries += 1
            if where == "rom":
                flash = address
            else:
                ram = address
                if name == ".data":
                    flash += size
            if out.size >= target:
                break
    for name in [".comment", ".symtab", ".strtab"]:
        out.line("%8x %8x %8x %5d %s" % (0, 0, 0x40, 1, name))
        out.line("%8x %8x %8x %5d         <internal>:(%s)" % (0, 0, 0x40, 1, name))
    out.close()
    return {"size": out.written, "entries": entries, "placed_entries": entries}


def lld_searches(count):
    return [".text", "|.rodata |.data", "lib"][:count] + ["%s" % m for m in MODULES][:max(0, count - 3)]


VENDOR_AREAS = {"rom": [(0x08000000, 0x00800000)], "ram": [(0x20000000, 0x00400000)]}


def vendor_rows(rng, count):
    """Input sections: (name, object, size, writable, zero) with the flash part first."""
    rows = []
    for i in range(count):
        module = OBJECT_FILES[rng.randrange(len(OBJECT_FILES))]
        kind = rng.random()
        if kind < 0.7:
            rows.append((".text.%s" % symbol_name(rng, i), module, 4 * rng.randint(2, 200), False,
                         False))
        elif kind < 0.8:
            rows.append((".rodata.%s" % symbol_name(rng, i), module, 4 * rng.randint(1, 64),
                         False, False))
        elif kind < 0.9:
            rows.append((".data.%s" % symbol_name(rng, i), module, 4 * rng.randint(1, 16), True,
                         False))
        else:
            rows.append((".bss.%s" % symbol_name(rng, i), module, 4 * rng.randint(1, 64), True,
                         True))
    rows.sort(key=lambda r: (r[3], r[4]))
    return rows


def filler_lines(rng, out, target, line_of):
    """Symbol and cross-reference lines up to the target size."""
    serial = 0
    while out.size < target:
        out.line(line_of(serial, OBJECT_FILES[serial % len(OBJECT_FILES)],
                         symbol_name(rng, serial)))
        serial += 1


def write_armlink_map(args, path):
    rng = random.Random(args.seed)
    rows = vendor_rows(rng, args.sections)
    out = Writer(path, args.line_end)
    out.line("Component: Arm Compiler for Embedded 6.19 Tool: armlink [5e73cb00]")
    out.line("")
    out.line("Section Cross References")
    out.line("")
    target = parse_size(args.size_mb)
    filler_lines(rng, out, target - 120 * len(rows) - 2000,
                 lambda i, obj, name: "    %s(i.%s) refers to %s(.text) for %s" % (
                     obj, name, OBJECT_FILES[(i * 7) % len(OBJECT_FILES)], name))
    out.line("")
    out.line("Memory Map of the image")
    out.line("")
    ro = [r for r in rows if not r[3]]
    rw = [r for r in rows if r[3]]
    ro_size = sum(r[2] for r in ro)
    rw_data = sum(r[2] for r in rw if not r[4])
    rw_size = sum(r[2] for r in rw)
    out.line("  Load Region LR_IROM1 (Base: 0x08000000, Size: 0x%08x, Max: 0x00800000, ABSOLUTE)"
             % (ro_size + rw_data))
    out.line("")
    out.line("    Execution Region ER_IROM1 (Exec base: 0x08000000, Load base: 0x08000000, "
             "Size: 0x%08x, Max: 0x00800000, ABSOLUTE)" % ro_size)
    out.line("")
    address = 0x08000000
    for index, (name, obj, size, _, _) in enumerate(ro):
        out.line("    0x%08x   0x%08x   0x%08x   Code   RO        %5d    %-30s %s" % (
            address, address, size, index + 1, name, obj))
        address += size
    out.line("")
    out.line("    Execution Region RW_IRAM1 (Exec base: 0x20000000, Load base: 0x%08x, "
             "Size: 0x%08x, Max: 0x00400000, ABSOLUTE)" % (address, rw_size))
    out.line("")
    run = 0x20000000
    load = address
    for index, (name, obj, size, _, zero) in enumerate(rw):
        if zero:
            out.line("    0x%08x        -       0x%08x   Zero   RW        %5d    %-30s %s" % (
                run, size, index + 1, name, obj))
        else:
            out.line("    0x%08x   0x%08x   0x%08x   Data   RW        %5d    %-30s %s" % (
                run, load, size, index + 1, name, obj))
            load += size
        run += size
    out.line("")
    out.line("    Total RO  Size (Code + RO Data)             %8d (%7.2fkB)" % (ro_size,
                                                                              ro_size / 1024))
    out.line("    Total RW  Size (RW Data + ZI Data)          %8d (%7.2fkB)" % (rw_size,
                                                                              rw_size / 1024))
    out.line("    Total ROM Size (Code + RO Data + RW Data)   %8d (%7.2fkB)" % (
        ro_size + rw_data, (ro_size + rw_data) / 1024))
    out.close()
    return {"size": out.size, "entries": len(rows) + len([r for r in rw if not r[4]]),
            "placed_entries": len(rows) + len([r for r in rw if not r[4]]),
            "rom": ro_size + rw_data, "ram": rw_size}


def iar_hex(value):
    digits = "%x" % value
    groups = []
    while len(digits) > 4:
        groups.insert(0, digits[-4:])
        digits = digits[:-4]
    groups.insert(0, digits)
    return "0x" + "'".join(groups)


def iar_decimal(value):
    return "{:,}".format(value).replace(",", "'")


def write_iar_map(args, path):
    rng = random.Random(args.seed)
    rows = vendor_rows(rng, args.sections)
    out = Writer(path, args.line_end)
    out.line("#" * 79)
    out.line("#")
    out.line("# IAR ELF Linker V9.40.1.364/W64 for ARM")
    out.line("#")
    out.line("#" * 79)
    out.line("")
    out.line("*** PLACEMENT SUMMARY")
    out.line("***")
    out.line("")
    out.line('"P1":  place in [from 0x800\'0000 to 0x87f\'ffff] { ro };')
    out.line('"P2":  place in [from 0x2000\'0000 to 0x203f\'ffff] { rw };')
    out.line("")
    out.line("  Section            Kind         Address    Size  Object")
    out.line("  -------            ----         -------    ----  ------")
    ro = [r for r in rows if not r[3]]
    rw = [r for r in rows if r[3]]
    ro_size = sum(r[2] for r in ro)
    rw_size = sum(r[2] for r in rw)
    out.line('"P1":%40s' % iar_hex(ro_size))
    address = 0x08000000
    for name, obj, size, _, _ in ro:
        out.line("  %-30s ro code  %12s %7s  %s [1]" % (name, iar_hex(address), iar_hex(size), obj))
        address += size
    out.line("%28s- %s %7s" % ("", iar_hex(address), iar_hex(ro_size)))
    out.line("")
    out.line('"P2":%40s' % iar_hex(rw_size))
    address = 0x20000000
    for name, obj, size, _, zero in rw:
        out.line("  %-30s %-7s  %12s %7s  %s [1]" % (name, "zero" if zero else "uninit",
                                                     iar_hex(address), iar_hex(size), obj))
        address += size
    out.line("%28s- %s %7s" % ("", iar_hex(address), iar_hex(rw_size)))
    out.line("")
    out.line("*** ENTRY LIST")
    out.line("***")
    out.line("")
    target = parse_size(args.size_mb)
    filler_lines(rng, out, target - 200,
                 lambda i, obj, name: "%-30s %12s %7s  Code  Gb  %s [1]" % (
                     name, iar_hex(0x08000000 + 4 * i), iar_hex(4 * (i % 50 + 1)), obj))
    out.line("")
    out.line("[1] = C:\\work\\Debug\\Obj")
    out.line("")
    out.line("  %s bytes of readonly  code memory" % iar_decimal(ro_size))
    out.line("  %s bytes of readwrite data memory" % iar_decimal(rw_size))
    out.close()
    return {"size": out.size, "entries": len(rows), "placed_entries": len(rows),
            "rom": ro_size, "ram": rw_size}


def write_ti_map(args, path):
    rng = random.Random(args.seed)
    rows = vendor_rows(rng, args.sections)
    ro = [r for r in rows if not r[3]]
    rw = [r for r in rows if r[3]]
    ro_size = sum(r[2] for r in ro)
    rw_size = sum(r[2] for r in rw)
    out = Writer(path, args.line_end)
    out.line("*" * 78)
    out.line("                  TI ARM Linker PC v20.2.7                     ")
    out.line("*" * 78)
    out.line("")
    out.line("MEMORY CONFIGURATION")
    out.line("")
    out.line("         name            origin    length      used     unused   attr    fill")
    out.line("----------------------  --------  ---------  --------  --------  ----  --------")
    out.line("  FLASH                 08000000   00800000  %08x  %08x  R  X" % (
        ro_size, 0x800000 - ro_size))
    out.line("  SRAM                  20000000   00400000  %08x  %08x  RW X" % (
        rw_size, 0x400000 - rw_size))
    out.line("")
    out.line("SECTION ALLOCATION MAP")
    out.line("")
    out.line(".text      0    08000000    %08x     " % ro_size)
    address = 0x08000000
    for name, obj, size, _, _ in ro:
        out.line("                  %08x    %08x     %s (%s)" % (address, size, obj, name))
        address += size
    out.line("")
    out.line(".bss       0    20000000    %08x     UNINITIALIZED" % rw_size)
    address = 0x20000000
    for name, obj, size, _, _ in rw:
        out.line("                  %08x    %08x     %s (%s)" % (address, size, obj, name))
        address += size
    out.line("")
    out.line("GLOBAL SYMBOLS: SORTED ALPHABETICALLY BY Name ")
    out.line("")
    target = parse_size(args.size_mb)
    filler_lines(rng, out, target,
                 lambda i, obj, name: "%08x  %s" % (0x08000000 + 4 * i, name))
    out.close()
    return {"size": out.size, "entries": len(rows), "placed_entries": len(rows),
            "rom": ro_size, "ram": rw_size}


VENDOR_WRITERS = {"Armlink": write_armlink_map, "Iar": write_iar_map, "Ti": write_ti_map}


# ---------------------------------------------------------------------------------------------
# GNU ld maps (ld -Map) and the ELF file of the same link

GNU_FLASH = (0x08000000, 0x10000000)
GNU_RAM = (0x20000000, 0x08000000)
GNU_AREAS = {"rom": [GNU_FLASH], "ram": [GNU_RAM]}

# The output sections in the order the script places them, each with its share of the map's
# lines: (name, memory, share, ELF type, ELF flags). ".data" runs from RAM and is stored in
# flash after the constants (AT> FLASH); the sections at address 0 are never loaded.
SHT_PROGBITS, SHT_NOBITS, SHT_STRTAB, SHT_ARM_EXIDX, SHT_ARM_ATTRIBUTES = 1, 8, 3, 0x70000001, 0x70000003
SHF_WRITE, SHF_ALLOC, SHF_EXECINSTR, SHF_LINK_ORDER = 0x1, 0x2, 0x4, 0x80
GNU_SECTIONS = [
    (".isr_vector", "rom", 0.0, SHT_PROGBITS, SHF_ALLOC),
    (".text", "rom", 0.52, SHT_PROGBITS, SHF_ALLOC | SHF_EXECINSTR),
    (".rodata", "rom", 0.14, SHT_PROGBITS, SHF_ALLOC),
    (".ARM.exidx", "rom", 0.03, SHT_ARM_EXIDX, SHF_ALLOC | SHF_LINK_ORDER),
    (".data", "ram", 0.08, SHT_PROGBITS, SHF_ALLOC | SHF_WRITE),
    (".bss", "ram", 0.10, SHT_NOBITS, SHF_ALLOC | SHF_WRITE),
    (".ARM.attributes", None, 0.0, SHT_ARM_ATTRIBUTES, 0),
    (".comment", None, 0.0, SHT_PROGBITS, 0x30),
    (".debug_info", None, 0.03, SHT_PROGBITS, 0),
    (".debug_line", None, 0.03, SHT_PROGBITS, 0),
]


def gnu_piece_lines(out, name, address, size, obj):
    """An input section as ld prints it on a 64-bit host: a name of 14 characters or more
    stands on a line of its own."""
    if len(name) >= 14:
        out.line(" " + name)
        out.line("                0x%016x %10s %s" % (address, "0x%x" % size, obj))
    else:
        out.line(" %-14s 0x%016x %10s %s" % (name, address, "0x%x" % size, obj))


def gnu_object(rng):
    obj = rng.choice(OBJECT_FILES)
    if rng.random() < 0.3:
        return "lib%s.a(%s)" % (obj.split("_")[0], obj)
    return obj


def gnu_pieces(rng, name, start, budget, serial):
    """The input sections of one output section, about `budget` bytes of map text: (name,
    address, size, object or None for padding, symbol or None), and the section's end. Merged
    string constants share an address, as ld lists them after merging."""
    pieces = []
    address = start
    written = 0
    prefix = {".isr_vector": ".isr_vector", ".ARM.exidx": ".ARM.exidx.text"}.get(name, name)
    while written < budget or not pieces:
        serial += 1
        symbol = symbol_name(rng, serial)
        size = rng.randint(1, 64) * 4 if name != ".ARM.exidx" else 8
        if name == ".isr_vector":
            pieces.append((".isr_vector", address, 0x1c0, "startup_stm32.o", "g_pfnVectors"))
            return pieces, address + 0x1c0, serial
        if name in (".debug_info", ".debug_line"):
            pieces.append((name, address, rng.randint(16, 512), gnu_object(rng), None))
            address += pieces[-1][2]
            written += 60
            continue
        aligned = (address + 7) & ~7 if rng.random() < 0.1 else address
        if aligned != address:
            pieces.append(("*fill*", address, aligned - address, None, None))
            address = aligned
        if name == ".rodata" and rng.random() < 0.2:
            # Two string literal pieces that ld merged: both at one address, each listed with
            # its size from before the merge.
            obj = gnu_object(rng)
            pieces.append((".rodata.%s.str1.4" % symbol, address, size, obj, None))
            pieces.append((".rodata.%s_%d.str1.4" % (symbol, serial), address, size // 2 or 4, obj,
                           None))
            address += size
            written += 200
            continue
        if name == ".bss" and rng.random() < 0.05:
            pieces.append(("COMMON", address, size, gnu_object(rng), symbol))
        else:
            pieces.append(("%s.%s" % (prefix, symbol), address, size, gnu_object(rng),
                           None if name == ".ARM.exidx" else symbol))
        address += size
        written += 140
    return pieces, address, serial


def write_gnu_map(args, path):
    """A GNU ld map of an arm-none-eabi link with -ffunction-sections -fdata-sections: the
    archive members and discarded input sections, the memory regions, and the memory map with
    its script lines, output and input sections, padding, symbols and the load address of .data;
    the never loaded sections last. Writes the ELF file of the same link beside it (<stem>.elf):
    its section headers are the map's output sections."""
    rng = random.Random(args.seed)
    out = Writer(path, args.line_end)
    target = parse_size(args.size_mb)
    out.line("Archive member included to satisfy reference by file (symbol)")
    out.line("")
    for i in range(200):
        obj = rng.choice(OBJECT_FILES)
        out.line("lib%s.a(%s)" % (obj.split("_")[0], obj))
        out.line("                              %s (%s)" % (rng.choice(OBJECT_FILES),
                                                          symbol_name(rng, i)))
    out.line("")
    out.line("Discarded input sections")
    out.line("")
    # A listing of a few thousand lines, as a build with --gc-sections has: the map's type is
    # told from its first 100 000 lines, which must reach the memory configuration.
    serial = 0
    while serial < 10000 and out.size < target * 0.04:
        serial += 1
        gnu_piece_lines(out, ".text.%s" % symbol_name(rng, serial), 0, rng.randint(1, 64) * 4,
                        gnu_object(rng))
    out.line("")
    out.line("Memory Configuration")
    out.line("")
    out.line("Name             Origin             Length             Attributes")
    out.line("FLASH            0x%016x 0x%016x xr" % GNU_FLASH)
    out.line("RAM              0x%016x 0x%016x xrw" % GNU_RAM)
    out.line("*default*        0x0000000000000000 0xffffffffffffffff")
    out.line("")
    out.line("Linker script and memory map")
    out.line("")
    for obj in OBJECT_FILES[:40]:
        out.line("LOAD %s" % obj)
    out.line("                0x0000000020020000                _estack = (ORIGIN (RAM) + LENGTH (RAM))")
    out.line("")
    flash = GNU_FLASH[0]
    ram = GNU_RAM[0]
    entries = 0
    sections = []  # (name, address, size, load address, type, flags)
    body_start = out.size
    for name, memory, share, elf_type, elf_flags in GNU_SECTIONS:
        start = flash if memory == "rom" else ram if memory == "ram" else 0
        budget = share * (target - body_start)
        if name in (".ARM.attributes", ".comment"):
            pieces = [(name, 0, 0x2e, rng.choice(OBJECT_FILES), None)]
            end = 0x2e
        else:
            pieces, end, serial = gnu_pieces(rng, name, start, budget, serial)
        size = end - start
        load = start
        if name == ".data":
            load = flash
        line = "%-15s 0x%016x %10s" % (name, start, "0x%x" % size)
        if len(name) >= 15:
            out.line(name)
            line = "%15s 0x%016x %10s" % ("", start, "0x%x" % size)
        if load != start:
            line += " load address 0x%016x" % load
        out.line(line)
        if memory is not None:
            out.line("                0x%016x                _s%s = ." % (start, name.strip(".").lower()))
            out.line(" *(%s)" % name)
            out.line(" *(%s*)" % name)
        for piece_name, address, piece_size, obj, symbol in pieces:
            if obj is None:
                out.line(" *fill*         0x%016x %10s " % (address, "0x%x" % piece_size))
                continue
            gnu_piece_lines(out, piece_name, address, piece_size, obj)
            if symbol is not None:
                out.line("                0x%016x                %s" % (address, symbol))
            if memory is not None:
                entries += 1
        if memory is not None:
            out.line("                0x%016x                . = ALIGN (0x4)" % end)
            out.line("                0x%016x                _e%s = ." % (end, name.strip(".").lower()))
        out.line("")
        if name == ".data":
            flash = load + size
            ram = end
        elif memory == "rom":
            flash = end
        elif memory == "ram":
            ram = end
        sections.append((name, start, size, load, elf_type, elf_flags))
    out.line("OUTPUT(%s.elf elf32-littlearm)" % os.path.basename(path)[:-4])
    out.close()
    elf_path = path[:-4] + ".elf"
    write_gnu_elf(elf_path, sections)
    # What the link takes, as the ELF's allocated sections tell: a check of the tool's figures.
    rom_used = sum(size for name, start, size, load, elf_type, flags in sections
                   if flags & SHF_ALLOC and elf_type != SHT_NOBITS)
    ram_used = sum(size for name, start, size, load, elf_type, flags in sections
                   if flags & SHF_ALLOC and start >= GNU_RAM[0])
    return {"size": out.written, "entries": entries, "placed_entries": entries, "elf": elf_path,
            "rom_used": rom_used, "ram_used": ram_used}


def write_gnu_elf(path, sections):
    """An ELF32 little-endian executable for ARM with the given output sections (name, address,
    size, load address, type, flags) and a .shstrtab, and a loadable segment each for the
    flash sections and for RAM, whose physical address is .data's load address. The contents
    are holes of zeros, so that the file takes little room on disk."""
    import struct
    names = b"\0"
    name_offsets = []
    for section in sections + [(".shstrtab",)]:
        name_offsets.append(len(names))
        names += section[0].encode() + b"\0"
    offset = 0x1000
    placed = []  # (offset) of each section's contents
    # Within a loadable segment, a section's file offset lies as far from the segment's as its
    # address from the segment's address, as a linker writes it: the load address of each
    # section follows from its offset. A segment starts on a page of the file.
    segment_start = None  # (offset, address, in RAM) of the segment being placed
    for name, address, size, load, elf_type, flags in sections:
        in_ram = address >= GNU_RAM[0]
        if flags & SHF_ALLOC and segment_start is not None and segment_start[2] == in_ram:
            at = segment_start[0] + (address - segment_start[1])
        elif flags & SHF_ALLOC:
            at = ((offset + 0xfff) & ~0xfff) + (address & 0xfff)
            segment_start = (at, address, in_ram)
        else:
            at = (offset + 15) & ~15
        placed.append(at)
        if elf_type != SHT_NOBITS:
            offset = max(offset, at + size)
    names_offset = offset
    table = (names_offset + len(names) + 3) & ~3
    count = len(sections) + 2
    headers = []
    flash = [i for i, s in enumerate(sections) if s[5] & SHF_ALLOC and s[1] < GNU_RAM[0]]
    ram = [i for i, s in enumerate(sections) if s[5] & SHF_ALLOC and s[1] >= GNU_RAM[0]]
    segments = []
    first, last = sections[flash[0]], sections[flash[-1]]
    segments.append((placed[flash[0]], first[1], first[1],
                     placed[flash[-1]] + last[2] - placed[flash[0]],
                     last[1] + last[2] - first[1], 5))
    data = sections[ram[0]]
    ram_end = sections[ram[-1]][1] + sections[ram[-1]][2]
    segments.append((placed[ram[0]], data[1], data[3], data[2], ram_end - data[1], 6))
    with open(path, "wb") as f:
        f.write(b"\x7fELF" + bytes([1, 1, 1, 0]) + bytes(8))
        f.write(struct.pack("<HHIIIIIHHHHHH", 2, 40, 1, GNU_FLASH[0] | 1, 52, table, 0x05000200,
                            52, 32, len(segments), 40, count, count - 1))
        for seg_offset, vaddr, paddr, filesz, memsz, seg_flags in segments:
            f.write(struct.pack("<IIIIIIII", 1, seg_offset, vaddr, paddr, filesz, memsz, seg_flags,
                                0x1000))
        f.seek(names_offset)
        f.write(names)
        f.seek(table)
        f.write(bytes(40))
        for i, (name, address, size, load, elf_type, flags) in enumerate(sections):
            headers.append(struct.pack("<IIIIIIIIII", name_offsets[i], elf_type, flags,
                                       address if flags & SHF_ALLOC else 0, placed[i], size, 0, 0,
                                       4, 0))
        headers.append(struct.pack("<IIIIIIIIII", name_offsets[-1], SHT_STRTAB, 0, 0,
                                   names_offset, len(names), 0, 0, 1, 0))
        f.write(b"".join(headers))


def write_def(args, path, areas, searches, reserved):
    with open(path, "w", encoding="latin-1", newline="") as f:
        f.write("// Generated benchmark target (%s)\n" % args.type)
        for start, size in areas["rom"]:
            f.write("PROGRAM 0x%08X 0x%08X\n" % (start, size))
        for start, size in areas["ram"]:
            f.write("MEMORY  0x%08X 0x%08X\n" % (start, size))
        f.write("EEPROM  0x02000000 0x00008000\n")
        for start, size in reserved:
            f.write("RESERVED 0x%08X 0x%08X\n" % (start, size))
        for search in searches:
            f.write("SEARCH %s\n" % search)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--type", required=True,
                        choices=["Puma", "Ibex", "Wren", "Puma_mem32_unlimited", "Orca", "Lld",
                                 "Armlink", "Iar", "Ti", "Gnu"])
    parser.add_argument("--size-mb", default="200", help="section maps: file size in MiB")
    parser.add_argument("--sections", type=int, default=400, help="section maps: table rows")
    parser.add_argument("--symbols", type=int, default=1000000, help="Orca: symbol lines")
    parser.add_argument("--searches", type=int, default=30)
    parser.add_argument("--seed", type=int, default=7)
    parser.add_argument("--crlf", action="store_true", help="Windows line ends")
    parser.add_argument("--overlap", choices=["normal", "heavy"], default="normal",
                        help="Orca: heavy = every symbol in a program area, most names in two "
                        "searches")
    parser.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "data"))
    parser.add_argument("--stem", help="file name stem (default: from type and size)")
    args = parser.parse_args()
    args.line_end = "\r\n" if args.crlf else "\n"

    if args.overlap == "heavy" and args.type != "Orca":
        parser.error("--overlap heavy is for Orca maps")
    if args.type == "Orca":
        stem = args.stem or "orca_%dk_%ds%s" % (args.symbols // 1000, args.searches,
                                                "_heavy" if args.overlap == "heavy" else "")
    else:
        stem = args.stem or "%s_%smb" % (args.type.lower(), args.size_mb)
    os.makedirs(args.out, exist_ok=True)
    map_path = os.path.join(args.out, stem + ".map")
    def_path = os.path.join(args.out, stem + ".def")

    if args.type == "Orca":
        heavy = args.overlap == "heavy"
        areas = ORCA_HEAVY_AREAS if heavy else ORCA_AREAS
        info = write_orca_map(args, map_path, areas)
        if heavy:
            searches = orca_heavy_searches(args.searches)
        else:
            searches = orca_searches(random.Random(args.seed + 1), args.searches)
        reserved = [(0x3F8000, 0x1000), (0x3FA000, 0x800), (0xF80000, 0x100)]
        write_def(args, def_path, areas, searches, reserved)
        # A reserved range inside a program area is one more program entry.
        in_program = sum(1 for start, size in reserved if in_areas(start, size, areas["rom"]) is not None)
        info["placed_entries"] += in_program
        info["program_entries"] += in_program
    elif args.type == "Lld":
        info = write_lld_map(args, map_path)
        write_def(args, def_path, LLD_AREAS, lld_searches(args.searches), [])
    elif args.type == "Gnu":
        info = write_gnu_map(args, map_path)
        write_def(args, def_path, GNU_AREAS, ["text.%s" % m for m in MODULES[:args.searches]], [])
    elif args.type in VENDOR_WRITERS:
        info = VENDOR_WRITERS[args.type](args, map_path)
        searches = ["text.%s" % m for m in MODULES[:args.searches]]
        write_def(args, def_path, VENDOR_AREAS, searches, [])
    else:
        info = write_section_map(args, map_path)
        areas = MEM32_AREAS if args.type == "Puma_mem32_unlimited" else SECTION_AREAS
        write_def(args, def_path, areas, section_searches(args.type, args.searches), [])
    info.update({"type": args.type, "map": map_path, "def": def_path,
                 "searches": args.searches, "overlap": args.overlap})
    with open(os.path.join(args.out, stem + ".json"), "w") as f:
        json.dump(info, f, indent=1)
    json.dump(info, sys.stdout)
    sys.stdout.write("\n")


if __name__ == "__main__":
    main()
