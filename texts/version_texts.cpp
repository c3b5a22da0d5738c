#include "texts/version_texts.h"

namespace korvane::text {

std::string VersionText(std::string_view program) {
  std::string out(program);
  out.append(" ").append(kVersion).append(
      "\n"
      "Copyright (C) 2026 The Korvane developers.\n"
      "License MIT: <https://opensource.org/licenses/MIT>.\n"
      "This is free software: you are free to change and redistribute it.\n"
      "There is NO WARRANTY, to the extent permitted by law.\n");
  return out;
}

std::string AboutBuild() { return std::string("程序版本 ") + kVersion + "，MIT 许可证"; }

}  // namespace korvane::text
