// The lines of the map that IAR's ILINK writes (EWARM 6 to 9, Debug/List/<project>.map) that
// Tarvel reads:
//
//   *** PLACEMENT SUMMARY                                              part title
//   "P1":  place in [from 0x800'0000 to 0x807'ffff] { ro };            placement statement
//   define block CSTACK with size = 1K, alignment = 8 { };
//   Section            Kind         Address    Size  Object            section list heading
//   "P1":                                     0x3f4                    part header
//     .text            ro code   0x800'0188   0x3a0  main.o [1]        section row
//     Initializer bytes  const   0x800'0528    0x14  <for P2-1>
//     CSTACK                    0x2000'0128   0x400  <Block>           container: no figure
//                              - 0x800'057c   0x3f4                    part end
//   [1] = C:\proj\Debug\Obj                                            file legend
//     5'831 bytes of readonly  code memory                            closing total
//
// Numbers are hexadecimal with "0x", grouped with "'" in EWARM 8 and later; older versions
// print them plain, and group the closing totals with blanks.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tarvel::iar {

enum class part { none, placement_summary, module_summary, other };

// The part that a title line ("*** PLACEMENT SUMMARY", "*** MODULE SUMMARY") begins; none
// for any other line.
part part_of_title(std::string_view line);

struct address_range {
    std::uint32_t from = 0;
    std::uint64_t size = 0;
};

struct placement {
    std::string_view label;  // "P1", without the quotes
    std::vector<address_range> ranges;
    bool writable = false;  // places RW or ZI data, or a stack or heap block
};

// Whether a statement ends on this line (with ";").
bool ends_statement(std::string_view line);

// A "place in" statement of the placement summary, all its lines joined: its label, its
// ranges ("[from A to B]", "[from A size S]", several joined by "|") and whether what it places
// is writable. False for every other statement ("place at", "define block", "initialize").
bool read_placement(std::string_view statement, placement& read);

// The column heading of the section list.
bool is_section_heading(std::string_view line);

// `"P1":  0x3f4`, `"P2", part 1 of 3:  0x20`: the label and the size of a part.
bool read_part_header(std::string_view line, std::string_view& label, std::uint32_t& size);

// "- 0x800'057c   0x3f4": the end of a part.
bool is_part_end(std::string_view line);

enum class kind { ro_code, ro_data, rw_code, rw_data };

struct section_row {
    std::string_view name;  // empty when the name stood alone on the line before
    kind what = kind::ro_code;
    std::uint32_t address = 0;
    std::uint32_t size = 0;
    std::string_view object;  // "main.o [1]", "<for P2-1>", "- Linker created -"
};

enum class row_kind { section, container, name_alone, none };

// A line of the section list: a section row (a long name may stand alone on the line
// before, and the row then begins with its kind), a container (a block or an init block,
// whose sections follow as rows of their own), a name alone, or none of these.
row_kind read_section_row(std::string_view line, section_row& row);

// "[1] = C:\proj\Debug\Obj": the number and the directory or library it stands for.
bool read_legend(std::string_view line, std::uint32_t& number, std::string_view& path);

// An object as the section list names it: "main.o [1]" is the object "main.o" of the file
// legend's entry 1; objects in angle brackets or dashes are the linker's own (false).
bool split_object(std::string_view object, std::string_view& name, std::uint32_t& legend);

enum class total_kind { readonly_code, readonly_data, readwrite_code, readwrite_data };

// "  5'831 bytes of readonly  code memory", with "(+ 4 absolute)" after the RW data line when
// absolute variables take more.
bool read_closing_total(std::string_view line, total_kind& what, std::uint64_t& bytes,
                        std::uint64_t& absolute);

}  // namespace tarvel::iar
