// Micro benchmarks of the hot paths of a run over a large map: the section-line matchers on the
// lines that make up such maps, the Wren stack-symbol test, the line reader, the ordering of a
// million entries and the search accounting (100 000 program entries, 200 searches), the last
// beside the plain rule of asking every search in turn.
#include <benchmark/benchmark.h>

#include <random>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "analysis/search_accounting.h"
#include "mapfile/entry_list.h"
#include "mapfile/entry_vector.h"
#include "mapfile/map_file_elxr.h"
#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_wren.h"
#include "memdef/search_def.h"
#include "text/line_reader.h"

namespace tarvel {
namespace {

const char* const modules[] = {"Adc", "App", "BswM", "Can", "CanIf", "CanTp", "Com",  "ComM",
                               "Dcm", "Dem", "Det",  "Dio", "EcuM",  "Fee",   "Fls",  "Gpt",
                               "Lin", "Mcu", "NvM",  "Os",  "PduR",  "Port",  "Rte",  "SchM",
                               "Spi", "Wdg", "Xcp",  "Hal", "Ipd",   "Motor", "Door", "Test"};
const char* const words[] = {"Init",       "MainFunction", "Read",     "Write",  "Get",
                             "Set",        "Status",       "Callback", "Rx",     "Tx",
                             "Indication", "Process",      "Handle",   "Update", "Check",
                             "Buffer",     "Table",        "State",    "Mode",   "Event"};

template <std::size_t N>
const char* pick(const char* const (&list)[N], std::mt19937& random) {
    return list[random() % N];
}

std::string symbol_name(std::mt19937& random, unsigned serial) {
    return std::string(pick(modules, random)) + "_" + pick(words, random) + pick(words, random) +
           "_" + std::to_string(serial);
}

// The lines of a section map, in the proportions of a large one: a few section lines with
// their attribute lines, and many symbol and cross-reference lines.
std::vector<std::string> section_map_lines(std::size_t count, bool wren) {
    std::mt19937 random(3);
    std::vector<std::string> lines;
    char text[256];
    for (unsigned i = 0; lines.size() < count; ++i) {
        const unsigned roll = random() % 100;
        const auto address = static_cast<unsigned>(random() & 0xFFFFFF);
        if (roll < 2) {
            std::snprintf(text, sizeof text, "  %-4u .%-22s %08x  %08x  PROGBITS", i,
                          i % 2 ? "text" : "rodata", static_cast<unsigned>(random() & 0xFFFF),
                          address);
            lines.emplace_back(text);
            lines.emplace_back("       flags: AX, align 4");
        } else if (roll < 55) {
            if (wren) {
                std::snprintf(text, sizeof text, "%08x T %s", address,
                              symbol_name(random, i).c_str());
            } else {
                std::snprintf(text, sizeof text, "  %08x  %08x  FUNC   %s", address,
                              static_cast<unsigned>(random() & 0x7FF),
                              symbol_name(random, i).c_str());
            }
            lines.emplace_back(text);
        } else if (roll < 85) {
            std::snprintf(text, sizeof text, "  %-40s%-22s%s %s", symbol_name(random, i).c_str(),
                          "can_init.o", "app_read.o", "dem_write.o");
            lines.emplace_back(text);
        } else {
            lines.emplace_back(std::string(64, ' ') + "det_deinit.o rte_init.o pwm_write.o");
        }
    }
    return lines;
}

void run_matcher(benchmark::State& state, const c_section_line_matcher& matcher, bool wren) {
    const std::vector<std::string> lines = section_map_lines(100000, wren);
    std::size_t bytes = 0;
    for (const auto& line : lines) {
        bytes += line.size() + 1;
    }
    section_line_fields fields;
    for (auto _ : state) {
        std::size_t matched = 0;
        for (const auto& line : lines) {
            matched += matcher.match(line, fields) ? 1 : 0;
        }
        benchmark::DoNotOptimize(matched);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_SectionMatcher_Puma(benchmark::State& state) {
    static const c_map_file_elxr reader(text_source{});
    run_matcher(state, reader.line_regex(), false);
}
void BM_SectionMatcher_Ibex(benchmark::State& state) {
    static const c_map_file_elxr_ibex reader(text_source{});
    run_matcher(state, reader.line_regex(), false);
}
void BM_SectionMatcher_Wren(benchmark::State& state) {
    static const c_map_file_elxr_wren reader(text_source{});
    run_matcher(state, reader.line_regex(), true);
}
void BM_SectionMatcher_Mem32Unlimited(benchmark::State& state) {
    static const c_map_file_elxr_mem32_unlimited reader(text_source{});
    run_matcher(state, reader.line_regex(), false);
}
BENCHMARK(BM_SectionMatcher_Puma);
BENCHMARK(BM_SectionMatcher_Ibex);
BENCHMARK(BM_SectionMatcher_Wren);
BENCHMARK(BM_SectionMatcher_Mem32Unlimited);

void BM_WrenStackSymbols(benchmark::State& state) {
    const std::vector<std::string> lines = section_map_lines(100000, true);
    std::string_view digits;
    for (auto _ : state) {
        std::size_t matched = 0;
        for (const auto& line : lines) {
            matched += c_map_file_elxr_wren::match_symbol_line(line, "__stack_begin", digits) ||
                       c_map_file_elxr_wren::match_symbol_line(line, "__stack_end", digits);
        }
        benchmark::DoNotOptimize(matched);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}
BENCHMARK(BM_WrenStackSymbols);

void BM_LineReader(benchmark::State& state) {
    std::string text;
    for (const auto& line : section_map_lines(200000, false)) {
        text += line;
        text += '\n';
    }
    for (auto _ : state) {
        std::istringstream input(text);
        c_line_reader reader(&input);
        std::string_view line;
        std::size_t lines = 0;
        while (reader.next(line)) {
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LineReader);

// Orders a million entries inserted in an order unrelated to their addresses, then walks them.
void BM_EntryListOrder(benchmark::State& state) {
    std::mt19937 random(11);
    std::vector<c_map_entry> entries(static_cast<std::size_t>(state.range(0)));
    for (auto& entry : entries) {
        entry.address = random() & 0xFFFFFF;
        entry.size = 4;
    }
    for (auto _ : state) {
        c_entry_list list;
        for (const auto& entry : entries) {
            list.insert(entry);
        }
        std::uint32_t sum = 0;
        for (const auto& entry : list) {
            sum += entry.address;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * entries.size()));
}
BENCHMARK(BM_EntryListOrder)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The searches of a definition for a large application: by module, by module and function,
// with exclusions, some overlapping.
search_list many_searches(std::size_t count) {
    std::mt19937 random(5);
    search_list searches;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string module = modules[i % std::size(modules)];
        const std::string word = pick(words, random);
        const std::string other = pick(words, random);
        switch (i % 5) {
            case 0:
                searches.push_back(parse_terms(module + "_ !Test"));
                break;
            case 1:
                searches.push_back(parse_terms("|" + module + "_" + word + " |" +
                                               pick(modules, random) + "_" + word));
                break;
            case 2:
                searches.push_back(parse_terms(module + "_ " + word));
                break;
            case 3:
                searches.push_back(parse_terms("|" + module + "_" + word + " |" + module + "_" +
                                               other + " !Init"));
                break;
            default:
                searches.push_back(parse_terms(module + "_" + word + other));
                break;
        }
    }
    return searches;
}

// The entries own their names (an entry's name is a view).
c_entry_vector program_entries(std::size_t count) {
    std::mt19937 random(9);
    c_entry_vector entries;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name =
            symbol_name(random, static_cast<unsigned>(i % (count - count / 50)));
        c_map_entry entry;
        entry.name = name;
        entry.size = random() % 512;
        entries.push_back(entry);
    }
    return entries;
}

void BM_SearchAccounting(benchmark::State& state) {
    const c_entry_vector entries = program_entries(static_cast<std::size_t>(state.range(0)));
    const search_list searches = many_searches(static_cast<std::size_t>(state.range(1)));
    std::size_t ambiguities = 0;
    for (auto _ : state) {
        search_list copy = searches;
        c_search_accounting accounting(copy);
        for (const auto& entry : entries) {
            accounting.account(entry);
        }
        ambiguities = accounting.ambiguities().size();
        benchmark::DoNotOptimize(ambiguities);
    }
    state.counters["ambiguities"] = static_cast<double>(ambiguities);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * entries.size()));
}
BENCHMARK(BM_SearchAccounting)
    ->Args({100000, 200})
    ->Args({100000, 30})
    ->Unit(benchmark::kMillisecond);

// The plain rule, as the accounting worked before the index: every search's `matches` for
// every entry, credited names in a hash map of strings.
void BM_SearchAccountingPlain(benchmark::State& state) {
    const c_entry_vector entries = program_entries(static_cast<std::size_t>(state.range(0)));
    const search_list searches = many_searches(static_cast<std::size_t>(state.range(1)));
    for (auto _ : state) {
        std::vector<search_def> copy(searches.begin(), searches.end());
        std::unordered_map<std::string, std::size_t> credited;
        std::size_t ambiguities = 0;
        for (const auto& entry : entries) {
            for (std::size_t i = 0; i < copy.size(); ++i) {
                if (copy[i].matches(entry.name)) {
                    if (credited.try_emplace(std::string(entry.name), i).second) {
                        copy[i].add(entry.size);
                    } else {
                        ++ambiguities;
                    }
                }
            }
        }
        benchmark::DoNotOptimize(ambiguities);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * entries.size()));
}
BENCHMARK(BM_SearchAccountingPlain)->Args({100000, 200})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvel

BENCHMARK_MAIN();
