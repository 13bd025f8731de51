// The lines of the map that Arm's armlink writes (Arm Compiler 5 and 6, Keil MDK's
// Listings/<project>.map) that Tarvel reads:
//
//   Memory Map of the image                                          part heading
//     Load Region LR_IROM1 (Base: 0x08000000, Size: 0x00000664, Max: 0x00080000, ABSOLUTE)
//       Execution Region ER_IROM1 (Exec base: 0x08000000, Load base: 0x08000000, Size:
//           0x00000654, Max: 0x00080000, ABSOLUTE)                   (one line in the map)
//       Exec Addr    Load Addr    Size         Type   Attr      Idx    E Section Name  Object
//       0x08000000   0x08000000   0x0000013c   Data   RO            3    RESET         startup.o
//       0x0800013c   0x0800013c   0x00000002   PAD
//       0x20000000   COMPRESSED   0x00000010   Data   RW           17    .data         main.o
//       0x20000010        -       0x00000400   Zero   RW           18    .bss          c_w.l(x.o)
//   Image component sizes                                            part heading
//         Code (inc. data)   RO Data    RW Data    ZI Data      Debug   Object Name
//         1580        112        136         24       1040      12345   Grand Totals
//       Total RO  Size (Code + RO Data)                 1692 (   1.65kB)
//
// Older maps (Arm Compiler 5 before "Exec base") print one address column, "Base Addr", and
// execution regions with "Base:" alone.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvel::armlink {

enum class part { none, memory_map, component_sizes, other };

// The part that a heading line begins ("Memory Map of the image", "Image component sizes",
// "Image Symbol Table", "Section Cross References", "Removing Unused input sections ..."),
// or none for any other line.
part part_of_heading(std::string_view line);

struct region_header {
    bool is_load_region = false;  // a Load Region; otherwise an Execution Region
    std::string_view name;
    std::uint32_t base = 0;  // "Base:" or "Exec base:"
    bool has_load_base = false;
    std::uint32_t load_base = 0;  // "Load base:"
    std::uint32_t size = 0;
    std::uint64_t max = 0;    // "Max:"; 0 when not given
    bool compressed = false;  // "COMPRESSED[0x...]": the RW data is stored compressed
    std::uint32_t compressed_size = 0;
};

// "Load Region NAME (...)" or "Execution Region NAME (...)" with at least a base and a size.
bool read_region_header(std::string_view line, region_header& header);

enum class row_type { code, data, zero, pad };
enum class load_column { address, compressed, none };

struct section_row {
    std::uint32_t exec_address = 0;
    load_column load = load_column::none;  // none: "-", or a map of one address column
    bool dash = false;                     // the load column says "-": no load image
    std::uint32_t load_address = 0;
    std::uint32_t size = 0;
    row_type type = row_type::pad;
    bool read_write = false;  // attribute RW (or ZI); RO otherwise
    std::string_view name;    // the input section; empty for padding
    std::string_view object;  // "main.o", "c_w.l(memcpy.o)"; empty for padding
};

// A row of a region table, in either column layout; false for any other line.
bool read_section_row(std::string_view line, section_row& row);

// The column heading of a region table ("Exec Addr    Load Addr ..." or "Base Addr ...").
bool is_table_heading(std::string_view line);

enum class total_kind { ro, rw, rom };

// "Total RO  Size (Code + RO Data)   1692 (   1.65kB)", the RW and ROM lines likewise.
bool read_total_line(std::string_view line, total_kind& kind, std::uint64_t& bytes);

struct component_totals {
    std::uint64_t code = 0;  // code, its inline data included
    std::uint64_t ro_data = 0;
    std::uint64_t rw_data = 0;
    std::uint64_t zi_data = 0;
};

// The "Grand Totals" row of the component sizes: code, inc. data, RO, RW, ZI, debug.
bool read_grand_totals(std::string_view line, component_totals& totals);

}  // namespace tarvel::armlink
