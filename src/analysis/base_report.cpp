#include "analysis/base_report.h"

#include <nlohmann/json.hpp>

namespace tarvel {

namespace {
using json = nlohmann::json;

// Reads the members of the report one by one; the first that is missing or of the wrong kind
// ends the reading with a message naming it.
class c_report_reader {
  public:
    explicit c_report_reader(std::string& error) : error_(error) {}

    const json* member(const json& object, const char* name, const std::string& where) {
        if (!object.is_object()) {
            return fail(where + " is not an object");
        }
        const auto found = object.find(name);
        if (found == object.end()) {
            return fail(where + " has no \"" + name + "\"");
        }
        return &*found;
    }

    bool integer(const json& object, const char* name, const std::string& where,
                 std::int64_t& value) {
        const json* found = member(object, name, where);
        if (found == nullptr) {
            return false;
        }
        if (!found->is_number_integer()) {
            fail(where + "." + name + " is not an integer of at most 64 bits");
            return false;
        }
        value = found->is_number_unsigned() && found->get<std::uint64_t>() > INT64_MAX
                    ? INT64_MAX
                    : found->get<std::int64_t>();
        return true;
    }

    bool text(const json& object, const char* name, const std::string& where, std::string& value) {
        const json* found = member(object, name, where);
        if (found == nullptr) {
            return false;
        }
        if (!found->is_string()) {
            fail(where + "." + name + " is not a string");
            return false;
        }
        value = found->get<std::string>();
        return true;
    }

    const json* array(const json& object, const char* name, const std::string& where) {
        const json* found = member(object, name, where);
        if (found != nullptr && !found->is_array()) {
            return fail(where + "." + name + " is not an array");
        }
        return found;
    }

    bool figures(const json& report, const char* name, const char* label,
                 std::vector<snapshot_figure>& figures) {
        const json* list = array(report, name, "the report");
        if (list == nullptr) {
            return false;
        }
        const char* bytes = std::string_view(name) == "areas" ? "used" : "bytes";
        for (std::size_t i = 0; i < list->size(); ++i) {
            const std::string where = std::string(name) + "[" + std::to_string(i) + "]";
            snapshot_figure figure;
            if (!text((*list)[i], label, where, figure.label) ||
                !integer((*list)[i], bytes, where, figure.bytes)) {
                return false;
            }
            figures.push_back(std::move(figure));
        }
        return true;
    }

    bool entries(const json& report, std::vector<snapshot_entry>& entries) {
        const json* list = array(report, "entries", "the report");
        if (list == nullptr) {
            return false;
        }
        entries.reserve(list->size());
        for (std::size_t i = 0; i < list->size(); ++i) {
            const json& item = (*list)[i];
            const std::string where = "entries[" + std::to_string(i) + "]";
            snapshot_entry entry;
            if (!text(item, "area", where, entry.area) || !text(item, "name", where, entry.name) ||
                !integer(item, "size", where, entry.size)) {
                return false;
            }
            entries.push_back(std::move(entry));
        }
        return true;
    }

  private:
    const json* fail(const std::string& message) {
        error_ = message;
        return nullptr;
    }

    std::string& error_;
};
}  // namespace

std::optional<usage_snapshot> read_base_report(std::string_view text, std::string& error) {
    // Parsed without exceptions: a damaged file is an expected input here.
    const json report = json::parse(text.begin(), text.end(), nullptr, false);
    if (report.is_discarded()) {
        error = "is not valid JSON";
        return std::nullopt;
    }
    if (!report.is_object() || !report.contains("format") || report["format"] != json_format_name) {
        error = std::string("is not a ") + json_format_name + " report of tarvel-report";
        return std::nullopt;
    }
    const auto version = report.find("version");
    if (version == report.end() || !version->is_number_integer() ||
        *version != json_format_version) {
        error = "is a report of version " + (version == report.end() ? "?" : version->dump()) +
                "; this program compares with version " + std::to_string(json_format_version);
        return std::nullopt;
    }
    usage_snapshot snapshot;
    c_report_reader reader(error);
    const json* ram = reader.member(report, "ram", "the report");
    const json* rom = reader.member(report, "rom", "the report");
    if (ram == nullptr || rom == nullptr ||
        !reader.integer(*ram, "used", "ram", snapshot.ram_used) ||
        !reader.integer(*rom, "used", "rom", snapshot.rom_used) ||
        !reader.figures(report, "areas", "name", snapshot.areas) ||
        !reader.figures(report, "searches", "search", snapshot.searches) ||
        !reader.entries(report, snapshot.entries)) {
        error = "lacks what a comparison needs: " + error;
        return std::nullopt;
    }
    return snapshot;
}

}  // namespace tarvel
