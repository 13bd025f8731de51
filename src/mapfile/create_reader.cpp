#include "mapfile/create_reader.h"

#include <array>
#include <string_view>

#include "mapfile/map_file_altium.h"
#include "mapfile/map_file_armlink.h"
#include "mapfile/map_file_elxr.h"
#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_wren.h"
#include "mapfile/map_file_gnu.h"
#include "mapfile/map_file_iar.h"
#include "mapfile/map_file_otter.h"
#include "mapfile/map_file_ti.h"

namespace tarvel {

namespace {
template <typename Reader>
std::unique_ptr<c_map_file> make(const std::string& map_file_name) {
    return std::make_unique<Reader>(map_file_name);
}

struct reader_row {
    std::string_view keyword;
    std::unique_ptr<c_map_file> (*create)(const std::string&);
};

// Compared in this order; the first equal keyword selects the reader.
constexpr std::array<reader_row, 10> reader_table{{
    {"Orca", &make<c_map_file_altium>},
    {"Puma", &make<c_map_file_elxr>},
    {"Puma_mem32_unlimited", &make<c_map_file_elxr_mem32_unlimited>},
    {"Ibex", &make<c_map_file_elxr_ibex>},
    {"Wren", &make<c_map_file_elxr_wren>},
    {"Gnu", &make<c_map_file_gnu>},
    {"Otter", &make<c_map_file_otter>},
    {"Armlink", &make<c_map_file_armlink>},
    {"Iar", &make<c_map_file_iar>},
    {"Ti", &make<c_map_file_ti>},
}};
}  // namespace

std::unique_ptr<c_map_file> create_reader(const std::string& type,
                                          const std::string& map_file_name) {
    for (const auto& row : reader_table) {
        if (type == row.keyword) {
            return row.create(map_file_name);
        }
    }
    return nullptr;
}

}  // namespace tarvel
