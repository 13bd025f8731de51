// Scratch files for the fuzz targets: the readers take file names, so each input is written to
// a file in a private directory (in memory when /dev/shm exists) that is removed at exit.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "memdef/memory_def.h"

namespace tarvel::fuzz {

class c_scratch_dir {
  public:
    c_scratch_dir() {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/tarvel-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~c_scratch_dir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    c_scratch_dir(const c_scratch_dir&) = delete;
    c_scratch_dir& operator=(const c_scratch_dir&) = delete;

    // Writes `content` to the file `name` in the directory and returns its path.
    std::string write(const std::string& name, std::string_view content) const {
        const std::string file = path_ + "/" + name;
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (out == nullptr) {
            std::perror("fopen");
            std::abort();
        }
        if (!content.empty() &&
            std::fwrite(content.data(), 1, content.size(), out) != content.size()) {
            std::abort();
        }
        std::fclose(out);
        return file;
    }

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// One directory for the whole fuzzing process.
inline const c_scratch_dir& scratch() {
    static const c_scratch_dir dir;
    return dir;
}

// A memory definition read from `text` (written to the scratch file `name`); a definition
// that does not load is a fault of the target itself.
inline c_memory_def load_definition(const std::string& name, const char* text) {
    c_memory_def loaded;
    search_list searches;
    loaded.loaded = loaded.load(scratch().write(name, text), searches).ok();
    if (!loaded.loaded) {
        std::abort();
    }
    return loaded;
}

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace tarvel::fuzz
