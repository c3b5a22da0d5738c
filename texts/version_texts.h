#pragma once
#include <string>
#include <string_view>

#include "texts/version.h"

// The version and licence as both programs show them.
namespace korvane::text {

// What --version prints: "PROGRAM VERSION", then the licence (help2man
// reads the first line as the name and version).
std::string VersionText(std::string_view program);

// The about box's line after its specified texts.
std::string AboutBuild();

// `korvane --help`: the window takes no options of its own.
inline constexpr const char* GuiHelp =
    "Usage: korvane [OPTION]...\n"
    "Korvane teaches how machines learn to fly: fly a lifeboat out of a meteor field by hand,\n"
    "let a genetic algorithm search a flight plan, train a neural network, or let the network\n"
    "repair the search's crashed plans.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are taken as well. korvane-cli runs the same\n"
    "engine without a window.\n";

}  // namespace korvane::text
