#include "mapfile/gnu_memory_regions.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "mapfile/gnu_map_line.h"
#include "text/text_tokens.h"

namespace tarvel::gnu {

namespace {
std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool contains_any(std::string_view name, std::initializer_list<std::string_view> parts) {
    return std::any_of(parts.begin(), parts.end(), [name](std::string_view part) {
        return name.find(part) != std::string_view::npos;
    });
}

struct letters {
    bool allowed = false;
    bool denied = false;
};

// The sense of each letter of interest: allowed, or denied after a "!".
void read_letters(std::string_view attributes, letters& r, letters& w, letters& x) {
    bool inverted = false;
    for (const char c : attributes) {
        letters* letter = nullptr;
        switch (std::tolower(static_cast<unsigned char>(c))) {
            case '!':
                inverted = !inverted;
                break;
            case 'r':
                letter = &r;
                break;
            case 'w':
                letter = &w;
                break;
            case 'x':
                letter = &x;
                break;
            default:
                break;
        }
        if (letter != nullptr) {
            (inverted ? letter->denied : letter->allowed) = true;
        }
    }
}
}  // namespace

const char* kind_source_name(kind_source source) {
    switch (source) {
        case kind_source::known_region_name:
            return "known region name";
        case kind_source::attributes:
            return "attributes";
        case kind_source::contents:
            return "contents";
        case kind_source::name:
            return "name";
        case kind_source::undecided:
            return "undecided";
    }
    return "";
}

bool attributes_allow_writing(std::string_view attributes) {
    letters r;
    letters w;
    letters x;
    read_letters(attributes, r, w, x);
    return w.allowed && !w.denied;
}

std::optional<region_kind> kind_by_attributes(std::string_view attributes) {
    letters r;
    letters w;
    letters x;
    read_letters(attributes, r, w, x);
    if (w.allowed && !w.denied) {
        return region_kind::ram;
    }
    if ((x.allowed && !x.denied) || (r.allowed && !r.denied) || w.denied) {
        return region_kind::program;
    }
    return std::nullopt;
}

std::optional<region_kind> kind_by_name(std::string_view name) {
    const std::string n = lower(name);
    // Program names first: "program" holds "ram" too, and MSP430 FRAM is program memory.
    if (contains_any(n, {"flash", "rom", "text", "code", "prog", "fram"})) {
        return region_kind::program;
    }
    if (contains_any(n, {"ram", "data", "bss", "tcm", "ccm", "stack", "heap"})) {
        return region_kind::ram;
    }
    return std::nullopt;
}

region_decision decide_kind(const memory_region& region, const region_contents& contents) {
    // AVR's device regions: the script gives them all "rw !x".
    if (region.name == "eeprom") {
        return {region_kind::eeprom, kind_source::known_region_name};
    }
    // AVR's fuse, lock and signature spaces, and Zephyr's IDT_LIST: a region in no device,
    // where the first link of a build gathers the interrupt table that a later one turns into
    // code and data of its own.
    constexpr std::array<std::string_view, 5> known_other{"fuse", "lock", "signature",
                                                          "user_signatures", "IDT_LIST"};
    if (std::find(known_other.begin(), known_other.end(), region.name) != known_other.end()) {
        return {region_kind::other, kind_source::known_region_name};
    }
    if (const auto kind = kind_by_attributes(region.attributes)) {
        return {*kind, kind_source::attributes};
    }
    if (contents.ram_data) {
        return {region_kind::ram, kind_source::contents};
    }
    if (contents.program) {
        return {region_kind::program, kind_source::contents};
    }
    if (const auto kind = kind_by_name(region.name)) {
        return {*kind, kind_source::name};
    }
    return {region_kind::other, kind_source::undecided};
}

bool read_region_line(std::string_view line, memory_region& region) {
    std::size_t pos = 0;
    const std::string_view name = next_token(line, pos);
    std::uint64_t origin = 0;
    std::uint64_t length = 0;
    if (name.empty() || name == "*default*" || !read_hex_token(next_token(line, pos), origin) ||
        !read_hex_token(next_token(line, pos), length) || origin > 0xFFFFFFFFu) {
        return false;
    }
    const std::uint64_t room = std::uint64_t{1} << 32;
    region.name.assign(name);
    region.origin = static_cast<std::uint32_t>(origin);
    const std::uint64_t kept = length < room - origin ? length : room - origin;
    region.length = static_cast<std::uint32_t>(kept > 0xFFFFFFFFu ? 0xFFFFFFFFu : kept);
    std::string_view attributes = line.substr(pos);
    while (!attributes.empty() && (attributes.front() == ' ' || attributes.front() == '\t')) {
        attributes.remove_prefix(1);
    }
    while (!attributes.empty() &&
           (attributes.back() == ' ' || attributes.back() == '\t' || attributes.back() == '\r')) {
        attributes.remove_suffix(1);
    }
    region.attributes.assign(attributes);
    region.writable = attributes_allow_writing(attributes);
    return true;
}

std::vector<std::size_t> merge_same_regions(std::vector<memory_region>& regions) {
    std::vector<memory_region> kept;
    std::vector<std::size_t> became(regions.size());
    for (std::size_t i = 0; i < regions.size(); ++i) {
        memory_region& region = regions[i];
        const auto same = std::find_if(kept.begin(), kept.end(), [&](const memory_region& k) {
            return k.origin == region.origin && k.length == region.length;
        });
        if (same == kept.end()) {
            became[i] = kept.size();
            kept.push_back(std::move(region));
            continue;
        }
        became[i] = static_cast<std::size_t>(same - kept.begin());
        if (same->attributes.empty() && !region.attributes.empty()) {
            *same = std::move(region);
        }
    }
    regions = std::move(kept);
    return became;
}

}  // namespace tarvel::gnu
