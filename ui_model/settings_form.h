#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/params.h"
#include "texts/text_table.h"

namespace korvane {

// The settings sheet without any widget: its fields, how a value is shown,
// how typed text is read back, and which values are refused.

inline constexpr int SettingsPageCount = 3;
inline constexpr Tx SettingsPageTitles[SettingsPageCount] = {Tx::SettingsPage1, Tx::SettingsPage2, Tx::SettingsPage3};

// One field of the sheet, as the settings' table places it.
struct SettingsField {
  int page;  // 0..2
  Tx group;  // group box, None for none
  Tx inner;  // group box inside group, None for none
  Tx label;
  int controlId;
  const char* param;  // the setting's name
  SettingKind kind;
};

// Every field, page by page, in the order it appears on its page.
const std::vector<SettingsField>& SettingsFields();

// Only this many characters of a field are read back.
inline constexpr int SettingsFieldMaxChars = 31;

std::string FormatIntField(int v);        // "%d"
std::string FormatDoubleField(double v);  // "%.15g", whatever the C locale

// Blanks and tabs around the number, nothing else; a value of zero only when
// the first non-blank character is the digit 0. Integers come back as 64-bit
// so that values beyond 32 bits can be refused with their range.
std::optional<long long> ParseIntField(std::string_view text);
std::optional<double> ParseDoubleField(std::string_view text);

const SettingsField* FindSettingsField(int page, int controlId);
// Control ids of a page in the order they are read back; this order decides
// which bad field is reported first.
const std::vector<int>& SettingsExchangeOrder(int page);

// The value a field shows (Int, Double, Perceived) and whether a check box
// is ticked.
std::string SettingsFieldText(const SimParams& p, const SettingsField& f);
bool SettingsFieldChecked(const SimParams& p, const SettingsField& f);

// What the user left in a field: text for edits, checked for check boxes.
struct FieldInput {
  std::string text;
  bool checked = false;
};

struct PageReadResult {
  bool ok = true;
  int controlId = 0;    // the refused field
  std::string message;  // what to tell the user
};

// Reads one page's inputs in exchange order into params, checking each value
// and its limits. Stops at the first refused field; the fields before it
// keep their new values in params.
PageReadResult ReadSettingsPage(int page, const std::map<int, FieldInput>& inputs, SimParams& params);

// "“label” must lie between lo and hi" in the interface's language, naming
// the limit's source when it is another setting.
std::string SettingsRangeMessage(const SettingsField& f, const ParamProblem& problem);

}  // namespace korvane
