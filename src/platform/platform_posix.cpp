// POSIX implementation of the platform layer. There are no drive letters, so an absolute path
// plays their part; the version information is compiled in from the build's one definition.
#include "platform/platform.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <new>

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

namespace {
constexpr std::size_t large_page = std::size_t{2} << 20;

// Keeps no state of its own, so two threads may allocate from it at once (the readers of large
// maps do).
class c_large_block_resource : public std::pmr::memory_resource {
  private:
    static std::size_t mapped_size(std::size_t bytes) {
        return (bytes + large_page - 1) / large_page * large_page;
    }

    void* do_allocate(std::size_t bytes, std::size_t alignment) override {
        if (bytes < large_page) {
            return std::pmr::new_delete_resource()->allocate(bytes, alignment);
        }
        // Mappings are page-aligned, more than any object needs.
        void* block = ::mmap(nullptr, mapped_size(bytes), PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) {
            throw std::bad_alloc();
        }
#ifdef MADV_HUGEPAGE
        // Only advice: without large pages the block works all the same.
        ::madvise(block, mapped_size(bytes), MADV_HUGEPAGE);
#endif
        return block;
    }

    void do_deallocate(void* block, std::size_t bytes, std::size_t alignment) override {
        if (bytes < large_page) {
            std::pmr::new_delete_resource()->deallocate(block, bytes, alignment);
            return;
        }
        ::munmap(block, mapped_size(bytes));
    }

    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }
};
}  // namespace

std::pmr::memory_resource* large_block_resource() {
    static c_large_block_resource resource;
    return &resource;
}

c_mapped_file::c_mapped_file(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode)) {
        size_ = static_cast<std::size_t>(info.st_size);
        if (size_ == 0) {
            open_ = true;
        } else {
            void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, descriptor, 0);
            if (mapped != MAP_FAILED) {
                data_ = mapped;
                open_ = true;
            } else {
                size_ = 0;
            }
        }
    }
    ::close(descriptor);  // the mapping keeps the file
}

c_mapped_file::~c_mapped_file() {
    if (data_ != nullptr) {
        ::munmap(const_cast<void*>(data_), size_);
    }
}

}  // namespace tarvel::platform
