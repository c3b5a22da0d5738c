// Writes the window's English as a Qt translation source (.ts) from the text
// table: one message per entry the window shows, its Chinese as the source,
// its id as the disambiguation, its English as the finished translation.
// usage: make_ts OUT.ts
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "texts/text_table.h"

namespace {

std::string Xml(std::string_view s) {
  std::string out;
  for (const char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\r': out += "&#13;"; break;  // a parser would fold a raw CR LF into LF
      default: out += c;
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_ts OUT.ts\n", stderr);
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
         "<TS version=\"2.1\" language=\"en\" sourcelanguage=\"zh_CN\">\n<context>\n    <name>korvane</name>\n";
  for (const korvane::text::Entry& e : korvane::text::Table()) {
    if (e.cliOnly || e.zh.empty()) continue;
    out << "    <message>\n        <source>" << Xml(e.zh) << "</source>\n        <comment>" << e.id
        << "</comment>\n        <translation>" << Xml(e.en) << "</translation>\n    </message>\n";
  }
  out << "</context>\n</TS>\n";
  out.close();
  return out ? 0 : 1;
}
