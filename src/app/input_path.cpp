#include "app/input_path.h"

#include "platform/platform.h"

namespace tarvel {

std::string program_directory(const std::string& program_path) {
    const std::size_t backslash = program_path.find_last_of('\\');
    return backslash == std::string::npos ? std::string() : program_path.substr(0, backslash + 1);
}

int resolve_input_path(std::string& resolved, const char* path, const std::string& program_dir) {
    resolved.clear();
    const std::string typed = path != nullptr ? path : "";
    if (platform::path_has_drive(typed)) {
        if (!platform::path_exists(typed)) {
            return -1;
        }
        resolved = typed;
        return 0;
    }
    // Relative arguments are looked up next to the program, by plain concatenation.
    const std::string candidate = program_dir + typed;
    if (!platform::path_exists(candidate)) {
        return -2;
    }
    resolved = candidate;
    return 0;
}

}  // namespace tarvel
