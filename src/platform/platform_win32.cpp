// Windows implementation of the platform layer: the shell's path functions and the executable's
// own version resource.
#include "platform/platform.h"

// windows.h first: the other two headers rely on its types.
#include <windows.h>

#include <shlwapi.h>
#include <winver.h>

#include <cstdint>
#include <vector>

namespace tarvel::platform {

namespace {

// The string table that the build writes: U.S. English, Unicode.
constexpr const char* string_table = "\\StringFileInfo\\040904b0\\";

std::string query_string(const std::vector<char>& block, const char* entry) {
    void* value = nullptr;
    UINT length = 0;
    const std::string name = std::string(string_table) + entry;
    if (VerQueryValueA(block.data(), name.c_str(), &value, &length) == 0 || value == nullptr) {
        return {};
    }
    return static_cast<const char*>(value);
}

// The file whose version information describes the running program. The first command-line
// word is used as given; but when the program was started by a name that names no file (typed
// without ".exe", or found through PATH), the running module's own path stands in for it, so
// that the banner does not depend on how the program was started.
std::string version_source(const std::string& program_path) {
    DWORD ignored = 0;
    if (GetFileVersionInfoSizeA(program_path.c_str(), &ignored) != 0 ||
        PathFileExistsA(program_path.c_str()) != FALSE) {
        return program_path;
    }
    std::vector<char> module(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (length == 0) {
            return program_path;
        }
        if (length < module.size()) {
            return std::string(module.data(), length);
        }
        module.resize(module.size() * 2);
    }
}

}  // namespace

bool path_has_drive(const std::string& path) {
    return PathGetDriveNumberA(path.c_str()) != -1;
}

bool path_exists(const std::string& path) {
    return PathFileExistsA(path.c_str()) != FALSE;
}

bool is_directory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool replace_file(const std::string& source, const std::string& target) {
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

version_info read_version_info(const std::string& program_path) {
    version_info info;
    const std::string file = version_source(program_path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    if (size == 0) {
        return info;
    }
    std::vector<char> block(size);
    if (GetFileVersionInfoA(file.c_str(), 0, size, block.data()) == 0) {
        return info;
    }
    void* root = nullptr;
    UINT root_length = 0;
    if (VerQueryValueA(block.data(), "\\", &root, &root_length) == 0 || root == nullptr ||
        root_length < sizeof(VS_FIXEDFILEINFO)) {
        return info;
    }
    info.available = true;
    info.file_version_ms = static_cast<const VS_FIXEDFILEINFO*>(root)->dwFileVersionMS;
    info.legal_copyright = query_string(block, "LegalCopyright");
    info.original_filename = query_string(block, "OriginalFilename");
    return info;
}

// Large pages need a privilege on Windows that a build server's account seldom has: the blocks
// come from the ordinary heap.
std::pmr::memory_resource* large_block_resource() {
    return std::pmr::new_delete_resource();
}

c_mapped_file::c_mapped_file(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    LARGE_INTEGER size{};
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) != 0 &&
        static_cast<unsigned long long>(size.QuadPart) <= SIZE_MAX) {
        if (size.QuadPart == 0) {
            open_ = true;  // a file of no bytes cannot be mapped, but is read as empty
        } else if (const HANDLE mapping =
                       CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr)) {
            data_ = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
            CloseHandle(mapping);  // the view keeps the mapping
            if (data_ != nullptr) {
                size_ = static_cast<std::size_t>(size.QuadPart);
                open_ = true;
            }
        }
    }
    CloseHandle(file);
}

c_mapped_file::~c_mapped_file() {
    if (data_ != nullptr) {
        UnmapViewOfFile(data_);
    }
}

}  // namespace tarvel::platform
