#include "ui_model/settings_form.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

#include "files/text_scan.h"
#include "sim/read_double.h"

namespace korvane {
namespace {

// The first SettingsFieldMaxChars characters of UTF-8 text.
std::string_view FirstChars(std::string_view text) {
  int chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside a character
    if (chars == SettingsFieldMaxChars) return text.substr(0, i);
    ++chars;
  }
  return text;
}

bool OnlyBlanksFrom(std::string_view s, std::size_t i) { return SkipBlanks(s, i) == s.size(); }

// A field and where it stands on its page: on screen, and as it is read back.
struct Placed {
  SettingsField field;
  int shown;
  int read;
};

// The settings on the sheet, as their rows place them.
const std::vector<Placed>& PlacedFields() {
  static const std::vector<Placed> placed = [] {
    std::vector<Placed> all = {
#define KORVANE_PLACE(name, kind, def, lo, hi, flags, bound, page, group, inner, control, shown, read, ...) \
  {{page, Tx::group, Tx::inner, Tx::Label##name, control, #name, SettingKind::kind}, shown, read},
        KORVANE_SETTINGS(KORVANE_PLACE)
#undef KORVANE_PLACE
    };
    std::erase_if(all, [](const Placed& p) { return p.field.controlId == 0; });
    return all;
  }();
  return placed;
}

// The control ids of a page in the order of one column.
std::vector<int> PageOrder(int page, int Placed::*column) {
  std::vector<const Placed*> on;
  for (const Placed& p : PlacedFields())
    if (p.field.page == page) on.push_back(&p);
  std::stable_sort(on.begin(), on.end(), [column](auto* a, auto* b) { return a->*column < b->*column; });
  std::vector<int> ids;
  for (const Placed* p : on) ids.push_back(p->field.controlId);
  return ids;
}

std::string Label(const SettingsField& f) { return std::string(text::WithoutColon(text::Ui(f.label))); }

}  // namespace

const std::vector<SettingsField>& SettingsFields() {
  static const std::vector<SettingsField> fields = [] {
    std::vector<SettingsField> out;
    for (int page = 0; page < SettingsPageCount; ++page)
      for (int id : PageOrder(page, &Placed::shown)) out.push_back(*FindSettingsField(page, id));
    return out;
  }();
  return fields;
}

std::string FormatIntField(int v) {
  char buf[16];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, end);
}

std::string FormatDoubleField(double v) {
  // to_chars with a precision prints as "%.*g" in the C locale would, so a
  // German locale does not turn 2.5 into 2,5.
  char buf[64];
#if KORVANE_PORTABLE
  // WebAssembly's C++ library has no floating-point to_chars; its C library
  // has no locales, so printf writes what to_chars would.
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
#else
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
#endif
}

std::optional<long long> ParseIntField(std::string_view text) {
  const std::string_view s = FirstChars(text);
  std::size_t i = SkipBlanks(s, 0);
  const char first = i < s.size() ? s[i] : '\0';
  bool negative = false;
  std::size_t j = i;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) negative = s[j++] == '-';
  const std::size_t digits = j;
  long long value = 0;
  bool saturated = false;
  while (j < s.size() && IsDigit(s[j])) {
    const int d = s[j++] - '0';
    if (!saturated && value > (LLONG_MAX - d) / 10)
      saturated = true;
    else if (!saturated)
      value = value * 10 + d;
  }
  if (j == digits) j = i;  // no conversion: nothing taken
  if (saturated) value = LLONG_MAX;
  if (negative) value = -value;
  if (value == 0 && first != '0') return std::nullopt;
  if (!OnlyBlanksFrom(s, j)) return std::nullopt;
  return value;
}

std::optional<double> ParseDoubleField(std::string_view text) {
  const std::string_view s = FirstChars(text);
  std::size_t i = SkipBlanks(s, 0);
  const char first = i < s.size() ? s[i] : '\0';
  // Longest decimal number at i: sign, digits with an optional point, and an
  // exponent only when digits follow it.
  std::size_t j = i;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
  std::size_t mantissaDigits = 0;
  while (j < s.size() && IsDigit(s[j])) ++j, ++mantissaDigits;
  if (j < s.size() && s[j] == '.') {
    ++j;
    while (j < s.size() && IsDigit(s[j])) ++j, ++mantissaDigits;
  }
  double value = 0.0;
  if (mantissaDigits == 0) {
    j = i;
  } else {
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
      std::size_t k = j + 1;
      if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
      if (k < s.size() && IsDigit(s[k])) {
        while (k < s.size() && IsDigit(s[k])) ++k;
        j = k;
      }
    }
    std::size_t from = i;
    if (s[from] == '+') ++from;  // ReadDouble takes no plus sign
    auto [ptr, ec] = ReadDouble(s.data() + from, s.data() + j, value);
    if (ec != std::errc() || ptr != s.data() + j || !std::isfinite(value)) return std::nullopt;
  }
  if (value == 0.0 && first != '0') return std::nullopt;
  if (!OnlyBlanksFrom(s, j)) return std::nullopt;
  return value;
}

const SettingsField* FindSettingsField(int page, int controlId) {
  for (const Placed& p : PlacedFields())
    if (p.field.page == page && p.field.controlId == controlId) return &p.field;
  return nullptr;
}

const std::vector<int>& SettingsExchangeOrder(int page) {
  static const std::vector<int> orders[SettingsPageCount] = {PageOrder(0, &Placed::read), PageOrder(1, &Placed::read),
                                                             PageOrder(2, &Placed::read)};
  static const std::vector<int> none;
  return page >= 0 && page < SettingsPageCount ? orders[page] : none;
}

std::string SettingsFieldText(const SimParams& p, const SettingsField& f) {
  const ParamInfo* info = FindParam(f.param);
  if (!info) return {};
  const double v = GetParam(p, *info);
  return info->isInt ? FormatIntField(static_cast<int>(v)) : FormatDoubleField(v);
}

bool SettingsFieldChecked(const SimParams& p, const SettingsField& f) {
  const ParamInfo* info = FindParam(f.param);
  return info && info->kind == SettingKind::Check && p.*info->intField != 0;
}

std::string SettingsRangeMessage(const SettingsField& f, const ParamProblem& problem) {
  switch (problem.kind) {
    case ParamProblem::Kind::Parity: return std::string(text::Ui(Tx::PopulationParity));
    case ParamProblem::Kind::Memory:
      return text::Ui<Tx::PopulationMemory>(Label(f), text::Formatted("%.1f", problem.bytes / (1024.0 * 1024 * 1024)));
    case ParamProblem::Kind::Range:
    case ParamProblem::Kind::Unknown: break;
  }
  // An elite limit comes from the population field of the same page.
  const ParamInfo* info = FindParam(problem.name);
  const ParamInfo* bound = info && info->bound ? FindParam(info->bound) : nullptr;
  const std::string hi = FormatDoubleField(problem.hi);
  const std::string lo = FormatDoubleField(problem.lo);
  if (problem.loOpen) return text::Ui<Tx::RangeAbove>(Label(f), lo, hi);
  if (bound) return text::Ui<Tx::RangeBetweenBound>(Label(f), lo, hi, LimitName(*bound, text::UiLanguage()));
  return text::Ui<Tx::RangeBetween>(Label(f), lo, hi);
}

PageReadResult ReadSettingsPage(int page, const std::map<int, FieldInput>& inputs, SimParams& params) {
  auto refuse = [](const SettingsField& f, std::string message) {
    return PageReadResult{false, f.controlId, std::move(message)};
  };
  for (int id : SettingsExchangeOrder(page)) {
    const SettingsField* f = FindSettingsField(page, id);
    auto in = inputs.find(id);
    if (!f || in == inputs.end()) continue;
    SimParams candidate = params;
    if (f->kind == SettingKind::Check) {
      SetParam(candidate, *FindParam(f->param), in->second.checked ? 1 : 0);
    } else if (f->kind == SettingKind::Double) {
      std::optional<double> v = ParseDoubleField(in->second.text);
      if (!v) return refuse(*f, std::string(text::Ui(Tx::MsgTypeNumber)));
      SetParam(candidate, *FindParam(f->param), *v);
    } else {
      std::optional<long long> v = ParseIntField(in->second.text);
      if (!v) return refuse(*f, std::string(text::Ui(Tx::MsgTypeInteger)));
      if (f->kind == SettingKind::Perceived) {
        // Keep 2n + 4 within int; any n outside 0..10 is refused below.
        if (*v >= 0 && *v <= 1000)
          candidate.SetPerceivedMeteors(static_cast<int>(*v));
        else
          candidate.NetInputCount = -1;
      } else if (*v < INT_MIN || *v > INT_MAX) {
        const ParamInfo* info = FindParam(f->param);
        ParamProblem problem{info->name, info->lo, info->hi, {}};
        SetParam(candidate, *info, *v < 0 ? INT_MIN : INT_MAX);
        if (auto p = CheckParam(candidate, f->param)) problem = *p;
        return refuse(*f, SettingsRangeMessage(*f, problem));
      } else {
        SetParam(candidate, *FindParam(f->param), static_cast<double>(*v));
      }
    }
    if (auto problem = CheckParam(candidate, f->param)) return refuse(*f, SettingsRangeMessage(*f, *problem));
    params = candidate;
  }
  // Limits across fields, once the whole page is in; the population field
  // they name takes the focus.
  if (auto problem = CheckCombinations(params)) {
    for (const SettingsField& f : SettingsFields())
      if (f.page == page && problem->name == f.param) return refuse(f, SettingsRangeMessage(f, *problem));
  }
  return {};
}

}  // namespace korvane
