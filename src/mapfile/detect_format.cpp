#include "mapfile/detect_format.h"

#include <optional>
#include <string_view>

#include "mapfile/detect_armlink.h"
#include "mapfile/detect_iar.h"
#include "mapfile/detect_ti.h"
#include "mapfile/gnu_map_line.h"
#include "mapfile/map_file_elxr.h"
#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_wren.h"
#include "mapfile/otter_map_line.h"
#include "text/hex_number.h"
#include "text/text_file.h"

namespace tarvel {

namespace {
// What the section lines seen so far show.
struct section_evidence {
    bool any = false;
    bool wren = false;       // ".data_begin", or the stack symbols
    bool ibex = false;       // a name of the Ibex and Wren tables that Puma does not have
    bool unlimited = false;  // a name of no list, or an address beyond 26 bits
};

// The sections that every section map may list and every reader leaves out or ignores.
bool is_common_extra(std::string_view name) {
    return name.find("debug") != std::string_view::npos || name == "comment" || name == "heap" ||
           name == "linfix" || name == "gstackfix" || name == "note.renesas";
}

bool beyond_26_bits(std::string_view address_digits) {
    const std::uint32_t top = hex_digits_to_u32(address_digits) >> 26;
    return top != 0 && top != 0x3F;
}

class c_section_classifier {
  public:
    // What a section line shows, or nothing for a line that is none.
    std::optional<section_evidence> classify(std::string_view line) const {
        section_line_fields fields;
        section_evidence seen;
        seen.any = true;
        if (wren_.line_regex().match(line, fields) && fields.name.substr(1) == "data_begin") {
            seen.wren = true;
        } else if (puma_.line_regex().match(line, fields)) {
            // a Puma name
        } else if (ibex_.line_regex().match(line, fields)) {
            seen.ibex = true;  // the Wren names but ".data_begin" are Ibex names too
        } else if (unlimited_.line_regex().match(line, fields)) {
            seen.unlimited = !is_common_extra(fields.name) || line.find('[') != line.npos;
        } else {
            return std::nullopt;
        }
        // The fields are those of the last matcher that took the line.
        seen.unlimited = seen.unlimited || beyond_26_bits(fields.address);
        return seen;
    }

  private:
    c_map_file_elxr puma_{""};
    c_map_file_elxr_ibex ibex_{""};
    c_map_file_elxr_wren wren_{""};
    c_map_file_elxr_mem32_unlimited unlimited_{""};
};

bool is_stack_symbol(std::string_view line) {
    std::string_view address;
    return c_map_file_elxr_wren::match_symbol_line(line, "__stack_begin", address) ||
           c_map_file_elxr_wren::match_symbol_line(line, "__stack_end", address);
}

std::string looked_for_text(std::size_t line_limit) {
    return "a first line with \"Memory map\" (Orca), a line \"Memory Configuration\" or "
           "\"Linker script and memory map\" (Gnu), an Image Summary heading \"Section Base "
           "Size(hex) Size(dec) SecOffs\" (Otter), an armlink banner or \"Memory Map of the "
           "image\" (Armlink), an \"IAR ELF Linker\" banner or \"*** PLACEMENT SUMMARY\" (Iar), "
           "a TI linker banner or \"SECTION ALLOCATION MAP\" (Ti), or section lines with "
           "attribute lines (Puma, Puma_mem32_unlimited, Ibex, Wren), in the first " +
           std::to_string(line_limit) + " lines";
}
}  // namespace

detected_format detect_format(const std::string& map_file_name, std::size_t line_limit) {
    detected_format result;
    result.looked_for = looked_for_text(line_limit);
    c_text_file file(map_file_name);
    if (!file.is_open()) {
        return result;
    }
    const c_section_classifier classifier;
    section_evidence evidence;
    bool stack_symbols = false;
    // A section line counts once the next non-empty line, its attribute line, has been seen.
    std::optional<section_evidence> pending;
    std::string_view line;
    for (std::size_t number = 1; number <= line_limit && file.next(line); ++number) {
        if (number == 1 && line.find("Memory map") != std::string_view::npos) {
            result.keyword = "Orca";
            return result;
        }
        const gnu::heading heading = gnu::heading_of(line);
        if (heading == gnu::heading::memory_configuration || heading == gnu::heading::memory_map) {
            result.keyword = "Gnu";
            return result;
        }
        if (looks_like_armlink(line)) {
            result.keyword = "Armlink";
            return result;
        }
        if (looks_like_iar(line)) {
            result.keyword = "Iar";
            return result;
        }
        if (looks_like_ti(line)) {
            result.keyword = "Ti";
            return result;
        }
        const otter::table table = otter::table_of_heading(line);
        if (table == otter::table::image_summary || table == otter::table::module_summary) {
            result.keyword = "Otter";
            return result;
        }
        stack_symbols = stack_symbols || is_stack_symbol(line);
        if (line.empty()) {
            continue;
        }
        if (pending) {
            evidence.any = true;
            evidence.wren = evidence.wren || pending->wren;
            evidence.ibex = evidence.ibex || pending->ibex;
            evidence.unlimited = evidence.unlimited || pending->unlimited;
            pending.reset();
            continue;  // an attribute line, whatever it holds
        }
        pending = classifier.classify(line);
    }
    if (!evidence.any) {
        return result;
    }
    if (evidence.wren || stack_symbols) {
        result.keyword = "Wren";
    } else if (evidence.ibex) {
        result.keyword = "Ibex";
    } else if (evidence.unlimited) {
        result.keyword = "Puma_mem32_unlimited";
    } else {
        result.keyword = "Puma";
    }
    return result;
}

}  // namespace tarvel
