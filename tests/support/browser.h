// Opens pages in a headless Chromium and returns the document as it stands after the page's
// scripts ran, with what the browser logged.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvel::test {

// The browser the page tests use: $TARVEL_BROWSER, else chromium-headless-shell or chromium
// where Debian installs them. Empty when there is none.
std::string find_browser();

struct browser_result {
    int exit_code = 0;
    std::string dom;  // the serialised document after the scripts ran
    std::string log;  // the browser's own log, with a line for each console message
};

// Opens file://`page` followed by `fragment` (e.g. "#filter=Can") in a window of 1200 x 900
// pixels, with a fresh profile, no network use of the browser's own and a time limit. With a
// `net_log` path the browser writes its network log there (see requested_urls).
browser_result open_page(const std::string& browser, const std::filesystem::path& page,
                         const std::string& fragment = "",
                         const std::filesystem::path& net_log = {});

// The addresses of the requests in a network log that the browser was to fetch from anywhere
// but a file, in the order logged: empty when the page asked for nothing from elsewhere. A
// request that the page's policy refused never reaches the log; the page records it itself.
std::vector<std::string> requested_urls(const std::filesystem::path& net_log);

// The console messages in a browser log, one a line, other than the page's timing message.
std::string console_messages(const std::string& log);

}  // namespace tarvel::test
