// POSIX implementation of the platform layer. There are no drive letters, so an absolute path
// plays their part; the version information is compiled in from the build's one definition.
#include "platform/platform.h"

#include <sys/stat.h>

#include <cstdio>

#include "version_info.h"

namespace tarvel::platform {

bool path_has_drive(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

bool path_exists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool is_directory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool replace_file(const std::string& source, const std::string& target) {
    return std::rename(source.c_str(), target.c_str()) == 0;
}

version_info read_version_info(const std::string& /*program_path*/) {
    version_info info;
    info.available = true;
    info.file_version_ms = (static_cast<std::uint32_t>(TARVEL_FILE_VERSION_MAJOR) << 16) |
                           static_cast<std::uint32_t>(TARVEL_FILE_VERSION_MINOR);
    info.legal_copyright = TARVEL_LEGAL_COPYRIGHT;
    info.original_filename = TARVEL_ORIGINAL_FILENAME;
    return info;
}

}  // namespace tarvel::platform
