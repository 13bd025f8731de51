#include "support/browser.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/process.h"
#include "support/temp_dir.h"

namespace tarvel::test {

std::string find_browser() {
    if (const char* chosen = std::getenv("TARVEL_BROWSER"); chosen != nullptr && *chosen != 0) {
        return chosen;
    }
    for (const char* candidate : {"/usr/bin/chromium-headless-shell", "/usr/bin/chromium"}) {
        std::error_code ignored;
        if (std::filesystem::exists(candidate, ignored)) {
            return candidate;
        }
    }
    return {};
}

browser_result open_page(const std::string& browser, const std::filesystem::path& page,
                         const std::string& fragment, const std::filesystem::path& net_log) {
    const c_temp_dir profile;
    const std::filesystem::path log = profile.path() / "browser.log";
    // The shell sends the browser's log to a file and ends a browser that hangs.
    std::vector<std::string> arguments{"-c", "log=$1; shift; exec timeout 120 \"$@\" 2>\"$log\"",
                                       "sh", log.string(), browser};
    for (const char* flag :
         {"--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
          "--disable-component-update", "--disable-sync", "--no-first-run",
          "--disable-default-apps", "--window-size=1200,900", "--enable-logging=stderr", "--v=0"}) {
        arguments.emplace_back(flag);
    }
    arguments.push_back("--user-data-dir=" + (profile.path() / "profile").string());
    if (!net_log.empty()) {
        arguments.push_back("--log-net-log=" + std::filesystem::absolute(net_log).string());
    }
    arguments.push_back("--dump-dom");
    arguments.push_back("file://" + std::filesystem::absolute(page).string() + fragment);
    const process_result run = run_program("/bin/sh", arguments, profile.path());
    return {run.exit_code, run.output, profile.read("browser.log")};
}

std::vector<std::string> requested_urls(const std::filesystem::path& net_log) {
    std::ifstream file(net_log);
    const nlohmann::json log = nlohmann::json::parse(file, nullptr, false);
    std::vector<std::string> urls;
    if (log.is_discarded() || !log.contains("events")) {
        urls.push_back("(no readable network log at " + net_log.string() + ")");
        return urls;
    }
    for (const nlohmann::json& event : log["events"]) {
        const auto params = event.find("params");
        if (params == event.end() || !params->is_object() || !params->contains("url")) {
            continue;
        }
        const std::string url = (*params)["url"].get<std::string>();
        if (url.rfind("file:", 0) != 0 && url.rfind("data:", 0) != 0 &&
            std::find(urls.begin(), urls.end(), url) == urls.end()) {
            urls.push_back(url);
        }
    }
    return urls;
}

std::string console_messages(const std::string& log) {
    std::istringstream lines(log);
    std::string messages;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(":CONSOLE") != std::string::npos &&
            line.find("\"tarvel timing:") == std::string::npos) {
            messages += line + "\n";
        }
    }
    return messages;
}

}  // namespace tarvel::test
