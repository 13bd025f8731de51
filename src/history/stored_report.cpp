#include "history/stored_report.h"

#include <rapidjson/reader.h>

#include <nlohmann/json.hpp>

#include "analysis/base_report.h"

namespace tarvel {

namespace {
// Finds where the report object's member "entries" lies in the text: its array, from "[" to
// the matching "]".
class c_entries_finder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, c_entries_finder> {
  public:
    explicit c_entries_finder(rapidjson::InsituStringStream& stream) : stream_(stream) {}

    bool Default() { return true; }
    bool Key(const char* text, rapidjson::SizeType length, bool) {
        if (depth_ == 1) {
            top_key_.assign(text, length);
        }
        return true;
    }
    bool StartObject() {
        ++depth_;
        return true;
    }
    bool EndObject(rapidjson::SizeType) {
        --depth_;
        return true;
    }
    bool StartArray() {
        if (depth_ == 1 && top_key_ == "entries" && !found_) {
            begin_ = stream_.Tell() - 1;
            in_entries_ = true;
        }
        ++depth_;
        return true;
    }
    bool EndArray(rapidjson::SizeType count) {
        --depth_;
        if (depth_ == 1 && in_entries_) {
            end_ = stream_.Tell();
            count_ = count;
            in_entries_ = false;
            found_ = true;
        }
        return true;
    }

    bool found() const { return found_; }
    std::size_t begin() const { return begin_; }
    std::size_t end() const { return end_; }
    std::size_t count() const { return count_; }

  private:
    rapidjson::InsituStringStream& stream_;
    int depth_ = 0;
    std::string top_key_;
    bool in_entries_ = false;
    bool found_ = false;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::size_t count_ = 0;
};

std::int64_t figure(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number()) {
        return 0;
    }
    return found->is_number_integer() ? found->get<std::int64_t>()
                                      : static_cast<std::int64_t>(found->get<double>());
}

std::string text_of(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : "";
}
}  // namespace

c_result<stored_report> store_report(const std::string& text) {
    if (c_result<usage_snapshot> checked = read_base_report(text); !checked) {
        return checked.error();
    }
    // Read in place, from a copy: RapidJSON's other way, copying each string onto the reader's
    // stack, adds to the stack's null pointer before the stack has storage.
    std::string copy = text;
    rapidjson::InsituStringStream stream(copy.data());
    c_entries_finder finder(stream);
    rapidjson::Reader reader;
    if (reader.Parse<rapidjson::kParseInsituFlag>(stream, finder).IsError() || !finder.found()) {
        return input_error{{}, 0, "lacks its entry list"};
    }
    stored_report report;
    report.entries_at = finder.begin();
    report.summary = text.substr(0, finder.begin()) + "[]" + text.substr(finder.end());
    report.entries = text.substr(finder.begin(), finder.end() - finder.begin());
    report.entry_count = finder.count();

    const nlohmann::json summary = nlohmann::json::parse(report.summary, nullptr, false);
    if (!summary.is_object()) {
        return input_error{{}, 0, "is not valid JSON"};
    }
    for (const auto& [key, used, total] :
         {std::tuple{"ram", &report.ram_used, &report.ram_total},
          std::tuple{"rom", &report.rom_used, &report.rom_total}}) {
        if (summary.contains(key) && summary[key].is_object()) {
            *used = figure(summary[key], "used");
            *total = figure(summary[key], "total");
        }
    }
    if (summary.contains("areas") && summary["areas"].is_array()) {
        for (const nlohmann::json& area : summary["areas"]) {
            if (area.is_object()) {
                report.areas.push_back({text_of(area, "name"), text_of(area, "kind"),
                                        figure(area, "size"), figure(area, "used")});
            }
        }
    }
    return report;
}

std::string join_report(const std::string& summary, std::size_t entries_at,
                        const std::string& entries) {
    if (entries.empty() || entries_at + 2 > summary.size()) {
        return summary;
    }
    std::string text;
    text.reserve(summary.size() + entries.size());
    text.append(summary, 0, entries_at).append(entries).append(summary, entries_at + 2);
    return text;
}

}  // namespace tarvel
