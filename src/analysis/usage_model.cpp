#include "analysis/usage_model.h"

#include "analysis/percent.h"

namespace tarvel {

const char* area_kind_name(area_kind kind) {
    switch (kind) {
        case area_kind::program:
            return "program";
        case area_kind::ram:
            return "ram";
        case area_kind::eeprom:
            return "eeprom";
    }
    return "";
}

double area_usage::used_percent() const {
    return percent_of(used_rounded(), size);
}

double memory_total::used_percent() const {
    const std::uint32_t rounded = used_bytes + (used_bits + 4u) / 8u;
    return percent_of(rounded, total);
}

const std::vector<ambiguity>& usage_model::ambiguities() const {
    static const std::vector<ambiguity> none;
    return accounting ? accounting->ambiguities() : none;
}

}  // namespace tarvel
