#include "ui_model/run_notes.h"

#include <cstdio>

#include "texts/ui_texts.h"

namespace korvane {

std::string SearchEndNote(const RunOutcome& r, int startLimit) {
  if (r.end != RunEnd::NotEscaped || r.limit == startLimit) return {};
  char buf[256];
  std::snprintf(buf, sizeof buf, text::SearchEndedAtNewLimit, r.limit, r.generation);
  return buf;
}

}  // namespace korvane
