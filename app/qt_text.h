#pragma once
#include <QString>
#include <string>

namespace korvane {

// The program's texts are UTF-8.
inline QString U(const char* s) { return QString::fromUtf8(s); }
inline QString U(const std::string& s) { return QString::fromStdString(s); }

}  // namespace korvane
