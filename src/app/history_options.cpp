#include "app/history_options.h"

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>
#include <vector>

#include "version_info.h"

namespace tarvel {

namespace {
// A count: "-1" would otherwise wrap around to the largest count.
std::string not_negative(const std::string& value) {
    return value.find('-') == std::string::npos ? std::string()
                                                : "a count cannot be negative: " + value;
}

CLI::App* command(CLI::App& app, const char* name, const char* description, std::string& db) {
    CLI::App* sub = app.add_subcommand(name, description);
    sub->add_option("--db", db,
                    "The history database: an SQLite file, or postgresql://... for a server")
        ->required();
    return sub;
}
}  // namespace

options_status parse_history_options(int argc, const char* const* argv, history_options& options,
                                     std::ostream& out, std::ostream& err) {
    CLI::App app{"Keeps the memory reports of every build and answers questions over them.",
                 "tarvel-history"};
    app.set_version_flag("--version", std::string("tarvel-history ") + TARVEL_PRODUCT_VERSION);
    app.require_subcommand(1);

    CLI::App* add = command(app, "add", "Store a build's JSON report of tarvel-report", options.db);
    add->add_option("--report", options.report, "The JSON report of tarvel-report")->required();
    add->add_option("--target", options.build.target, "The build's target")->required();
    add->add_option("--commit", options.build.commit, "The build's commit")->required();
    add->add_option("--parent", options.build.parent, "The parent commit");
    add->add_option("--branch", options.build.branch, "The branch");
    add->add_option("--time", options.build.time, "When the build was made, ISO-8601 (now)");
    add->add_option("--label", options.build.labels, "A label KEY=VALUE");
    add->add_flag("--replace", options.build.replace,
                  "Replace a stored build of the same target and commit");

    CLI::App* list = command(app, "list", "List the stored builds", options.db);
    list->add_option("--target", options.target, "Only this target's builds");
    list->add_option("--branch", options.branch, "Only this branch's builds");
    list->add_option("--last", options.last, "Only the newest N builds")->check(not_negative);
    list->add_option("--format", options.format, "text (default), json or csv")
        ->check(CLI::IsMember({"text", "json", "csv"}));

    CLI::App* show = command(app, "show", "Print a stored build's JSON report", options.db);
    show->add_option("--target", options.target, "The target")->required();
    show->add_option("--commit", options.commit, "The commit (a unique prefix, HEAD, HEAD~N)")
        ->required();

    CLI::App* compare =
        command(app, "compare", "Compare two stored builds, as tarvel-report --diff", options.db);
    compare->add_option("--target", options.target, "The target")->required();
    compare->add_option("base", options.base, "The base build's commit")->required();
    compare->add_option("head", options.head, "The later build's commit")->required();
    // compare renders through tarvel-report's formats; a page or a CSV of one build's entries
    // would not show the change.
    std::vector<std::string> compare_formats;
    for (const report_format format :
         {report_format::text, report_format::json, report_format::markdown}) {
        compare_formats.emplace_back(report_format_name(format));
    }
    compare->add_option("--format", options.format, "text (default), json or markdown")
        ->check(CLI::IsMember(compare_formats));
    compare->add_option("--max", options.max, "Budget TARGET=LIMIT on the later build");
    compare->add_option("--max-growth", options.max_growth,
                        "Growth budget TARGET=LIMIT against the base");
    compare->add_option("--top", options.top, "Entries listed in text and Markdown (10)")
        ->check(not_negative);

    CLI::App* trend = command(app, "trend", "Areas' use over the builds of a branch", options.db);
    trend->add_option("--target", options.target, "The target")->required();
    trend->add_option("--branch", options.branch, "The branch (default: every build)");
    trend->add_option("--area", options.areas, "An area (default: every area)");
    trend->add_option("--format", options.format, "csv (default) or json")
        ->check(CLI::IsMember({"csv", "json"}));
    const CLI::Option* html =
        trend->add_option("--html", options.html, "Also write the trend as an HTML page to FILE");

    CLI::App* blame =
        command(app, "blame", "The builds that grew an area most, and their entries", options.db);
    blame->add_option("--target", options.target, "The target")->required();
    blame->add_option("--area", options.areas, "The area")->required()->expected(1);
    blame->add_option("--top", options.top, "How many builds (10)")->check(not_negative);

    CLI::App* prune =
        command(app, "prune", "Keep entry lists only for the newest builds", options.db);
    prune
        ->add_option("--keep-entries", options.keep_entries,
                     "Builds of each target and branch that keep their entries")
        ->required()
        ->check(CLI::NonNegativeNumber);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return options_status::done;
    } catch (const CLI::CallForVersion&) {
        out << app.version() << '\n';
        return options_status::done;
    } catch (const CLI::ParseError& error) {
        // CLI11 reports every command-line error by throwing; this is where it is caught.
        const CLI::App* failed = app.get_subcommands().empty() ? &app : app.get_subcommands()[0];
        err << "tarvel-history: " << error.what() << "\n\n" << failed->help();
        return options_status::error;
    }
    const std::pair<CLI::App*, history_command> commands[] = {
        {add, history_command::add},     {list, history_command::list},
        {show, history_command::show},   {compare, history_command::compare},
        {trend, history_command::trend}, {blame, history_command::blame},
        {prune, history_command::prune}};
    for (const auto& [sub, which] : commands) {
        if (sub->parsed()) {
            options.command = which;
        }
    }
    if (options.db.empty()) {
        err << "tarvel-history: --db: the database name is empty\n";
        return options_status::error;
    }
    if (html->count() > 0 && options.html.empty()) {
        err << "tarvel-history: --html: the file name is empty\n";
        return options_status::error;
    }
    return options_status::run;
}

}  // namespace tarvel
