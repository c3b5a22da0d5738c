#include "ui_model/settings_form.h"

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

}  // namespace

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
  for (const SettingsField& f : SettingsFields())
    if (f.page == page && f.controlId == controlId) return &f;
  return nullptr;
}

const std::vector<int>& SettingsExchangeOrder(int page) {
  static const std::vector<int> orders[SettingsPageCount] = {
      {1001, 1000, 1002, 1003, 1004, 1005, 1006, 1013, 1012, 1014, 1015, 1016, 1017, 1018, 1019, 1022, 1021, 1020},
      {1000, 1001, 1002, 1003, 1005, 1006, 1014, 1013, 1012, 1015, 1017, 1018, 1019, 1016},
      {1000, 1003, 1001, 1002, 1004},
  };
  static const std::vector<int> none;
  return page >= 0 && page < SettingsPageCount ? orders[page] : none;
}

std::string SettingsFieldText(const SimParams& p, const SettingsField& f) {
  if (f.kind == FieldKind::Perceived) return FormatIntField(p.PerceivedMeteors());
  const ParamInfo* info = FindParam(f.param);
  if (!info) return {};
  return info->isInt ? FormatIntField(p.*info->intField) : FormatDoubleField(p.*info->doubleField);
}

bool SettingsFieldChecked(const SimParams& p, const SettingsField& f) {
  const ParamInfo* info = FindParam(f.param);
  return info && info->isInt && p.*info->intField != 0;
}

std::string SettingsRangeMessage(const SettingsField& f, const ParamProblem& problem) {
  switch (problem.kind) {
    case ParamProblem::Kind::Parity: return PopulationParityText();
    case ParamProblem::Kind::Memory: return PopulationMemoryText(f, problem.bytes / (1024.0 * 1024 * 1024));
    case ParamProblem::Kind::Range:
    case ParamProblem::Kind::Unknown: break;
  }
  // The elite limits come from the population field of the same page.
  const bool byPopulation = problem.name == "EliteCount" || problem.name == "NetEliteCount";
  const std::string hi = FormatDoubleField(problem.hi);
  const std::string lo = FormatDoubleField(problem.lo);
  if (problem.loOpen) return RangeAboveText(f, lo, hi);
  return RangeBetweenText(f, lo, hi, byPopulation);
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
    if (f->kind == FieldKind::Check) {
      SetParam(candidate, *FindParam(f->param), in->second.checked ? 1 : 0);
    } else if (f->kind == FieldKind::Double) {
      std::optional<double> v = ParseDoubleField(in->second.text);
      if (!v) return refuse(*f, MsgTypeNumber);
      SetParam(candidate, *FindParam(f->param), *v);
    } else {
      std::optional<long long> v = ParseIntField(in->second.text);
      if (!v) return refuse(*f, MsgTypeInteger);
      if (f->kind == FieldKind::Perceived) {
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
