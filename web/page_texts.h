#pragma once
#include <string>
#include <string_view>

#include "sim/params.h"

// The page's words, all from the program's own text tables, as one JSON
// object the page builds its controls from.
namespace korvane::web {

// A JSON string literal of UTF-8 text.
std::string JsonString(std::string_view text);

// Titles, menu entries, buttons and the settings that matter in class
// (label, page, control and the value shown for p).
std::string PageTextsJson(const SimParams& p);

// The class settings' fields with the values p gives them.
std::string SettingsValuesJson(const SimParams& p);

}  // namespace korvane::web
