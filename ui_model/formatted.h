#pragma once
#include <string>

#include "texts/text_table.h"

namespace korvane {

// A text of the table in the window's language, as a string of its own.
inline std::string Say(Tx id) { return std::string(text::Ui(id)); }

// A number as the classroom additions show it: two decimals.
inline std::string Two(double v) { return text::Formatted("%.2f", v); }

}  // namespace korvane
