#include "mapfile/gnu_memory_regions.h"

#include "mapfile/gnu_map_line.h"
#include "text/text_tokens.h"

namespace tarvel::gnu {

bool attributes_allow_writing(std::string_view attributes) {
    bool inverted = false;
    bool allowed = false;
    bool denied = false;
    for (const char c : attributes) {
        if (c == '!') {
            inverted = !inverted;
        } else if (c == 'w' || c == 'W') {
            (inverted ? denied : allowed) = true;
        }
    }
    return allowed && !denied;
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
    region.writable = attributes_allow_writing(line.substr(pos));
    return true;
}

}  // namespace tarvel::gnu
