#include "texts/version_texts.h"

namespace korvane::text {

std::string VersionText(std::string_view program) {
  std::string out(program);
  out.append(" ").append(kVersion).append("\n").append(En(Tx::Version));
  return out;
}

std::string AboutBuild() { return Ui<Tx::AboutBuild>(kVersion); }

}  // namespace korvane::text
