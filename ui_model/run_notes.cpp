#include "ui_model/run_notes.h"

#include "texts/text_table.h"

namespace korvane {

std::string SearchEndNote(const RunOutcome& r, int startLimit) {
  if (r.end != RunEnd::NotEscaped || r.limit == startLimit) return {};
  return text::Ui<Tx::SearchEndedAtNewLimit>(r.limit, r.generation);
}

}  // namespace korvane
