#include "report/build_list_report.h"

#include <iomanip>

#include "report/csv_report.h"
#include "report/json_writer.h"

namespace tarvel {

namespace {
std::string labels_text(const build_row& build) {
    std::string text;
    for (const auto& [key, value] : build.info.labels) {
        text += (text.empty() ? "" : " ") + key + "=" + value;
    }
    return text;
}

std::string short_commit(const std::string& commit) {
    return commit.substr(0, 12);
}
}  // namespace

void render_build_list_text(std::ostream& out, const std::vector<build_row>& builds) {
    if (builds.empty()) {
        out << "No build is stored.\n";
        return;
    }
    out << std::left << std::setw(14) << "Commit" << std::setw(22) << "Time" << std::setw(16)
        << "Target" << std::setw(12) << "Branch" << std::right << std::setw(12) << "ROM used"
        << std::setw(12) << "RAM used" << std::setw(10) << "Entries"
        << "  Labels\n";
    for (const build_row& build : builds) {
        out << std::left << std::setw(14) << short_commit(build.info.commit) << std::setw(22)
            << build.info.time << std::setw(16) << build.info.target << std::setw(12)
            << (build.info.branch.empty() ? "-" : build.info.branch) << std::right << std::setw(12)
            << build.rom_used << std::setw(12) << build.ram_used << std::setw(10)
            << (build.has_entries ? std::to_string(build.entry_count) : std::string("pruned"))
            << "  " << labels_text(build) << "\n";
    }
    out << std::left;
}

void render_build_list_json(std::ostream& out, const std::vector<build_row>& builds) {
    c_json_writer json(out);
    json.begin_object().key("builds").begin_array();
    for (const build_row& build : builds) {
        json.begin_object();
        json.key("target").value(build.info.target);
        json.key("commit").value(build.info.commit);
        json.key("parent");
        build.info.parent.empty() ? json.null() : json.value(build.info.parent);
        json.key("branch");
        build.info.branch.empty() ? json.null() : json.value(build.info.branch);
        json.key("time").value(build.info.time);
        json.key("labels").begin_object();
        for (const auto& [key, value] : build.info.labels) {
            json.key(key).value(value);
        }
        json.end_object();
        json.key("ram").begin_object().key("used").value(build.ram_used);
        json.key("total").value(build.ram_total).end_object();
        json.key("rom").begin_object().key("used").value(build.rom_used);
        json.key("total").value(build.rom_total).end_object();
        json.key("entries").value(build.entry_count);
        json.key("entries_kept").value(build.has_entries);
        json.end_object();
    }
    json.end_array().end_object();
    out << '\n';
}

void render_build_list_csv(std::ostream& out, const std::vector<build_row>& builds) {
    out << "target,commit,parent,branch,time,ram_used,ram_total,rom_used,rom_total,entries,"
           "entries_kept,labels\n";
    for (const build_row& build : builds) {
        out << csv_field(build.info.target) << ',' << csv_field(build.info.commit) << ','
            << csv_field(build.info.parent) << ',' << csv_field(build.info.branch) << ','
            << csv_field(build.info.time) << ',' << build.ram_used << ',' << build.ram_total << ','
            << build.rom_used << ',' << build.rom_total << ',' << build.entry_count << ','
            << (build.has_entries ? "yes" : "no") << ',' << csv_field(labels_text(build)) << "\n";
    }
}

}  // namespace tarvel
