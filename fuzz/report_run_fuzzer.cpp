// Fuzz target: a whole run of tarvel-report with every output format at once, and what the
// outputs promise about each other. The first byte chooses the run: bits 0-2 and 7 the type (0
// auto, then the keywords of the format registry in its order, modulo their number), bit 3 a
// memory definition, bit 4 a base report for --diff, bit 5 budgets, bit 6 --by object. The rest is
// the map, then each chosen file in that order, split by lines "%%". Budget lines are --max
// TARGET=LIMIT, or --max-growth when they start with "+".
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/report_run.h"
#include "fuzz_files.h"
#include "mapfile/map_formats.h"
#include "report_checks.h"

namespace {
using namespace tarvel;
using nlohmann::json;

// "auto", then every keyword of the registry.
std::vector<std::string> all_types() {
    std::vector<std::string> types{"auto"};
    for (const map_format& format : map_formats()) {
        types.emplace_back(format.keyword);
    }
    return types;
}
constexpr std::string_view separator = "\n%%\n";
const char* const outputs[] = {"out.json", "out.csv", "out.md", "out.html"};

// Aborts, naming the property that does not hold, so that a finding tells what it found.
#define CHECK(property) check(property, #property, __LINE__)
void check(bool holds, const char* property, int line) {
    if (!holds) {
        std::fprintf(stderr, "report_run_fuzzer.cpp:%d: %s does not hold\n", line, property);
        std::abort();
    }
}

std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return std::move(content).str();
}

// The next piece of the input up to a separator line; the rest when there is none.
std::string_view next_piece(std::string_view& rest) {
    const std::size_t split = rest.find(separator);
    const std::string_view piece = rest.substr(0, split);
    rest = split == std::string_view::npos ? std::string_view{}
                                           : rest.substr(split + separator.size());
    return piece;
}

// A run that succeeded: each output as its format promises, and all agreeing on the figures.
void check_outputs(const std::string& dir, const std::string& text, bool with_diff,
                   bool with_budgets) {
    const std::string json_text = read_file(dir + "/out.json");
    const json report = json::parse(json_text, nullptr, false);
    CHECK(!report.is_discarded());
    CHECK(fuzz::has_required_keys(report));
    CHECK(report.contains("diff") == with_diff && report.contains("budgets") == with_budgets);

    const fuzz::csv_table csv = fuzz::parse_csv(read_file(dir + "/out.csv"));
    CHECK(fuzz::csv_matches_report(csv, report));
    CHECK(fuzz::totals_add_up(report));

    const std::string page = read_file(dir + "/out.html");
    CHECK(fuzz::page_is_escaped(page));
    // The page embeds the report once, byte for byte but for "<", of which it has none.
    const std::string_view embedded = fuzz::embedded_report(page);
    CHECK(embedded.find('<') == std::string_view::npos);
    CHECK(embedded == json_text);

    const std::int64_t rom = report["rom"]["used"].get<std::int64_t>();
    const std::int64_t ram = report["ram"]["used"].get<std::int64_t>();
    const std::string markdown = read_file(dir + "/out.md");
    CHECK(fuzz::markdown_total(markdown, "ROM").value_or(rom) == rom);
    CHECK(fuzz::markdown_total(markdown, "RAM").value_or(ram) == ram);
    // The text report prints its totals with six significant digits.
    for (const auto& [title, used] : {std::pair{"ROM area: ", rom}, std::pair{"RAM area: ", ram}}) {
        if (const std::optional<double> shown = fuzz::text_total(text, title)) {
            CHECK(std::fabs(*shown - static_cast<double>(used)) <=
                  std::max(0.5, 1e-5 * static_cast<double>(used)));
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    std::string_view rest = fuzz::as_text(data + 1, size - 1);
    const fuzz::c_scratch_dir& scratch = fuzz::scratch();
    const std::string dir = scratch.path();
    for (const char* output : outputs) {
        std::filesystem::remove(dir + "/" + output);
    }

    static const std::vector<std::string> types = all_types();
    const std::size_t type = ((flags & 7u) | ((flags & 128u) >> 4)) % types.size();
    std::vector<std::string> args = {"tarvel-report", "--type", types[type], "--map",
                                     scratch.write("run.map", next_piece(rest))};
    if ((flags & 8) != 0) {
        args.insert(args.end(), {"--def", scratch.write("run.def", next_piece(rest))});
    }
    const bool with_diff = (flags & 16) != 0;
    if (with_diff) {
        args.insert(args.end(), {"--diff", scratch.write("base.json", next_piece(rest))});
    }
    bool with_budgets = false;
    if ((flags & 32) != 0) {
        std::string_view lines = next_piece(rest);
        for (int count = 0; count < 4 && !lines.empty(); ++count) {
            std::string_view line = lines.substr(0, lines.find('\n'));
            lines.remove_prefix(std::min(lines.size(), line.size() + 1));
            const bool growth = line.starts_with("+");
            line.remove_prefix(growth ? 1 : 0);
            args.insert(args.end(), {growth ? "--max-growth" : "--max", std::string(line)});
            with_budgets = true;
        }
    }
    if ((flags & 64) != 0) {
        args.insert(args.end(), {"--by", "object"});
    }
    args.insert(args.end(), {"--json", dir + "/out.json", "--csv", dir + "/out.csv", "--markdown",
                             dir + "/out.md", "--html", dir + "/out.html", "--format", "text"});
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }

    std::ostringstream out;
    std::ostringstream err;
    const int code = run_report(static_cast<int>(argv.size()), argv.data(), out, err);
    CHECK(code >= 0 && code <= 4);
    // No temporary output is left behind, whatever the outcome; a failed run writes nothing.
    std::size_t written = 0;
    for (const auto& file : std::filesystem::directory_iterator(dir)) {
        CHECK(file.path().filename().string().find(".tmp") == std::string::npos);
    }
    for (const char* output : outputs) {
        written += std::filesystem::exists(dir + "/" + output) ? 1 : 0;
    }
    if (code >= report_usage_error) {
        CHECK(written == 0 && !err.str().empty());
        return 0;
    }
    CHECK(written == std::size(outputs));
    check_outputs(dir, out.str(), with_diff, with_budgets);
    return 0;
}
