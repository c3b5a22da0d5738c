#pragma once
#include <string>
#include <string_view>

#include "texts/text_table.h"
#include "texts/version.h"

// The version and licence as both programs show them.
namespace korvane::text {

// What --version prints: "PROGRAM VERSION", then the licence (help2man
// reads the first line as the name and version).
std::string VersionText(std::string_view program);

// The about box's last line: the version and the licence.
std::string AboutBuild();

}  // namespace korvane::text
