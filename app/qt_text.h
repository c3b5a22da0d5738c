#pragma once
#include <QString>
#include <string>
#include <string_view>

#include "texts/text_table.h"

namespace korvane {

// The program's texts are UTF-8; a Tx is said in the interface's language.
inline QString U(const char* s) { return QString::fromUtf8(s); }
inline QString U(const std::string& s) { return QString::fromStdString(s); }
inline QString U(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline QString U(Tx id) { return U(text::Ui(id)); }

}  // namespace korvane
