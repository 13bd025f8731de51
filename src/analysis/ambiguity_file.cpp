#include "analysis/ambiguity_file.h"

#include <cstdio>
#include <fstream>
#include <random>

#include "platform/platform.h"

namespace tarvel {

std::string ambiguity_file_path(const std::string& map_file_name) {
    const std::size_t separator = map_file_name.find_last_of("\\/");
    const std::string directory =
        separator == std::string::npos ? std::string() : map_file_name.substr(0, separator + 1);
    return directory + "Tarvel.amb";
}

bool write_ambiguity_file(const std::string& path, const c_search_accounting& accounting) {
    const std::string temporary = path + ".tmp" + std::to_string(std::random_device{}() % 1000000);
    {
        std::ofstream file(temporary, std::ios::out | std::ios::trunc);
        if (!file.is_open()) {
            return false;
        }
        for (const ambiguity& record : accounting.ambiguities()) {
            file << record.name << ": Found in [ " << accounting.search_text(record.search)
                 << "] and in [ " << accounting.search_text(record.earlier_search) << "]\n";
        }
        file.close();
        if (file.fail()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (!platform::replace_file(temporary, path)) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace tarvel
