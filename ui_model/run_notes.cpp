#include "ui_model/run_notes.h"

#include <cstdio>

#include "texts/ui_texts.h"

namespace korvane {

std::string SearchEndNote(const SearchResult& r, int startLimit, int generations) {
  if (r.escaped || r.aborted || r.generationLimit == startLimit) return {};
  char buf[256];
  std::snprintf(buf, sizeof buf, text::SearchEndedAtNewLimit, r.generationLimit, generations);
  return buf;
}

}  // namespace korvane
