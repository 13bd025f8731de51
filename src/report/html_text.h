// Text put into an HTML page: escaped for element content and attribute values, or, for JSON,
// made safe to stand inside a script element.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tarvel {

// `text` with &, <, >, " and ' replaced by character references.
std::string html_escaped(std::string_view text);

// Writes the JSON text `json` so that it can stand inside <script type="application/json">:
// every "<" becomes the JSON escape \u003c, so no "</script" or "<!--" can end or change the
// element, whatever the text holds. In valid JSON a "<" can only be part of a string, where
// the escape means the same character.
void write_script_json(std::ostream& out, std::string_view json);

}  // namespace tarvel
