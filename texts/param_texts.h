#pragma once
#include <string_view>

// What each setting means, in English for the command line's settings list.
namespace korvane::text {

// The meaning of the setting of that name (a name of sim's ParamTable, or
// PerceivedMeteors); empty when there is none.
std::string_view ParamMeaning(std::string_view name);

}  // namespace korvane::text
