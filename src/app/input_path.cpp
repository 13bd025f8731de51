#include "app/input_path.h"

#include "platform/platform.h"

namespace tarvel {

std::string program_directory(const std::string& program_path) {
    const std::size_t backslash = program_path.find_last_of('\\');
    return backslash == std::string::npos ? std::string() : program_path.substr(0, backslash + 1);
}

c_result<std::string, input_path_problem> resolve_input_path(const char* path,
                                                             const std::string& program_dir) {
    const std::string typed = path != nullptr ? path : "";
    if (platform::path_has_drive(typed)) {
        if (!platform::path_exists(typed)) {
            return input_path_problem::invalid_path;
        }
        return typed;
    }
    // Relative arguments are looked up next to the program, by plain concatenation.
    std::string candidate = program_dir + typed;
    if (!platform::path_exists(candidate)) {
        return input_path_problem::not_found;
    }
    return candidate;
}

}  // namespace tarvel
