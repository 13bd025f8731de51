#include "app/ld_script_file.h"

#include <filesystem>

#include "text/text_file.h"

namespace tarvel {

namespace {
// The file `name` as a whole, lines joined by LF; none when it cannot be opened.
std::optional<ld_script_text> read_whole_file(const std::string& name) {
    c_text_file file(name);
    if (!file.is_open()) {
        return std::nullopt;
    }
    ld_script_text script{name, {}};
    std::string_view line;
    while (file.next(line)) {
        script.text.append(line);
        script.text += '\n';
    }
    return script;
}

std::optional<ld_script_text> read_included_file(const std::string& file,
                                                 const std::string& including) {
    if (std::optional<ld_script_text> beside =
            read_whole_file((std::filesystem::path(including).parent_path() / file).string())) {
        return beside;
    }
    return read_whole_file(file);
}
}  // namespace

c_result<std::vector<ld_script_region>, std::string> read_ld_script_file(const std::string& path) {
    const std::optional<ld_script_text> script = read_whole_file(path);
    if (!script) {
        return "cannot read the linker script '" + path + "'";
    }
    c_result<std::vector<ld_script_region>> regions =
        read_ld_script_memory_text(script->text, path, &read_included_file);
    if (!regions) {
        return ld_script_message(regions.error());
    }
    return std::move(regions).value();
}

}  // namespace tarvel
