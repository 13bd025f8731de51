#include "app/elf_input.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace tarvel {

std::optional<elf::elf_image> read_elf_file(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        error = "cannot read the ELF file '" + path + "'";
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = "cannot read the ELF file '" + path + "'";
        return std::nullopt;
    }
    elf::elf_error problem;
    std::optional<elf::elf_image> image = elf::read_elf(bytes, problem);
    if (!image) {
        error = "the ELF file '" + path + "' is damaged: " + elf::describe(problem);
    }
    return image;
}

}  // namespace tarvel
