// Fuzz target: the base-report reader of --diff, and the diff made from what it reads.
// An input starting with byte 0x01 is spliced into a small valid report: bytes 1-2 give the
// position (modulo the report's length), byte 3 how many of the report's bytes the rest of the
// input replaces there. Any other input is read as it is; the seeds are real reports of the
// examples, so mutations of them stay close to what a build server keeps.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/base_report.h"
#include "analysis/usage_diff.h"
#include "fuzz_files.h"

namespace {
using namespace tarvel;

// A report as tarvel-report writes it, cut down to what the reader looks at and some of what
// it skips: two areas, two searches, entries of equal names and one bit variable.
constexpr std::string_view valid_report =
    R"({"format":"tarvel-usage","version":1,"generator":{"program":"tarvel-report",)"
    R"("version":"3.0.0"},"ram":{"total":100,"used":21,"free":79,"used_percent":21.0,)"
    R"("bits":3},"rom":{"total":900,"used":300,"free":600,"used_percent":33.3},)"
    R"("areas":[{"name":"Prg seg0","kind":"program","used":300,"bits":0},)"
    R"({"name":"Ram seg0","kind":"ram","used":21,"bits":3}],)"
    R"("searches":[{"search":"text ","bytes":200,"percent":66.7},)"
    R"({"search":"|data !x ","bytes":0,"percent":0.0}],"accounted":{"bytes":200},)"
    R"("entries":[{"name":".text","address":0,"size":200,"area":"Prg seg0","search":"text "},)"
    R"({"name":".text","address":200,"size":100,"area":"Prg seg0","search":null},)"
    R"({"name":"flag","address":4096,"size":3,"area":"Ram seg0","search":null,"bit":true},)"
    R"({"name":"buf","address":4100,"size":20,"area":"Ram seg0","search":null}],"unplaced":[]})";

// The build the bases are compared with: the valid report's own figures.
const usage_snapshot& current_build() {
    static const usage_snapshot snapshot = [] {
        const c_result<usage_snapshot> read = read_base_report(std::string(valid_report));
        if (!read) {
            std::abort();
        }
        return *read;
    }();
    return snapshot;
}

// A change has the sign of after - before, and is that difference where it cannot overflow
// (changes beyond 64 bits are held at +-(2^63 - 1)).
bool is_change(std::int64_t change, std::int64_t before, std::int64_t after) {
    constexpr std::int64_t safe = INT64_MAX / 2;
    if (before > -safe && before < safe && after > -safe && after < safe) {
        return change == after - before;
    }
    return change != INT64_MIN && (change > 0) == (after > before) &&
           (change < 0) == (after < before);
}

// What any diff must hold: each change is after - before, entry statuses agree with their
// figures, and the entries come largest change first.
std::size_t check_diff(const usage_diff& diff) {
    for (const std::vector<figure_change>* list : {&diff.areas, &diff.searches}) {
        for (const figure_change& change : *list) {
            if (!is_change(change.change, change.before, change.after)) {
                std::abort();
            }
        }
    }
    for (const figure_change* change : {&diff.ram, &diff.rom}) {
        if (!is_change(change->change, change->before, change->after)) {
            std::abort();
        }
    }
    std::size_t removed = 0;
    for (std::size_t i = 0; i < diff.entries.size(); ++i) {
        const entry_change& entry = diff.entries[i];
        switch (entry.status) {
            case entry_status::added:
                if (entry.before != 0) {
                    std::abort();
                }
                break;
            case entry_status::removed:
                if (entry.after != 0) {
                    std::abort();
                }
                ++removed;
                break;
            case entry_status::grew:
                if (entry.after <= entry.before) {
                    std::abort();
                }
                break;
            case entry_status::shrank:
                if (entry.after >= entry.before) {
                    std::abort();
                }
                break;
        }
        if (i > 0 && std::llabs(diff.entries[i - 1].change()) < std::llabs(entry.change())) {
            std::abort();
        }
    }
    return removed;
}

std::size_t count_added(const usage_diff& diff) {
    return static_cast<std::size_t>(
        std::count_if(diff.entries.begin(), diff.entries.end(),
                      [](const entry_change& e) { return e.status == entry_status::added; }));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(fuzz::as_text(data, size));
    if (size >= 4 && data[0] == 0x01) {
        const std::size_t at = (data[1] | std::size_t{data[2]} << 8) % (valid_report.size() + 1);
        const std::size_t cut = std::min<std::size_t>(data[3], valid_report.size() - at);
        text = std::string(valid_report.substr(0, at));
        text.append(fuzz::as_text(data + 4, size - 4));
        text.append(valid_report.substr(at + cut));
    }
    const c_result<usage_snapshot> base = read_base_report(std::move(text));
    // Either a snapshot or the reason for none.
    if (!base && base.error().what.empty()) {
        std::abort();
    }
    if (!base) {
        return 0;
    }
    // Against itself a base has changed nothing.
    const usage_diff same = diff_usage(*base, *base);
    check_diff(same);
    if (!same.entries.empty() || same.ram.change != 0 || same.rom.change != 0) {
        std::abort();
    }
    // What one direction removes the other adds.
    const usage_diff forward = diff_usage(*base, current_build());
    const usage_diff backward = diff_usage(current_build(), *base);
    if (check_diff(forward) != count_added(backward) ||
        check_diff(backward) != count_added(forward)) {
        std::abort();
    }
    if (forward.areas.size() < current_build().areas.size() ||
        forward.searches.size() < current_build().searches.size()) {
        std::abort();
    }
    return 0;
}
