#include "json.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace korvane::cli {

JsonWriter& JsonWriter::Number(double v) {
  if (!std::isfinite(v)) return Null();  // JSON has no inf or NaN
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return Value(buf);
}

JsonWriter& JsonWriter::String(std::string_view s) {
  Comma();
  m_out += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"': m_out += "\\\""; break;
      case '\\': m_out += "\\\\"; break;
      case '\n': m_out += "\\n"; break;
      case '\r': m_out += "\\r"; break;
      case '\t': m_out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          m_out += buf;
        } else {
          m_out += static_cast<char>(c);
        }
    }
  }
  m_out += '"';
  m_needComma = true;
  return *this;
}

namespace {

// A small reader for the one shape of file we accept.
class Reader {
 public:
  explicit Reader(std::string_view t) : m_t(t) {}
  void Skip() {
    while (m_i < m_t.size() && (m_t[m_i] == ' ' || m_t[m_i] == '\t' || m_t[m_i] == '\n' || m_t[m_i] == '\r')) ++m_i;
  }
  bool Eat(char c) {
    Skip();
    if (m_i < m_t.size() && m_t[m_i] == c) {
      ++m_i;
      return true;
    }
    return false;
  }
  bool Peek(char c) {
    Skip();
    return m_i < m_t.size() && m_t[m_i] == c;
  }
  bool AtEnd() {
    Skip();
    return m_i >= m_t.size();
  }
  std::optional<std::string> Str() {
    if (!Eat('"')) return std::nullopt;
    std::string s;
    while (m_i < m_t.size() && m_t[m_i] != '"') {
      if (m_t[m_i] == '\\') return std::nullopt;  // keys need no escapes
      s += m_t[m_i++];
    }
    if (m_i >= m_t.size()) return std::nullopt;
    ++m_i;
    return s;
  }
  std::optional<double> Num() {
    Skip();
    const char* first = m_t.data() + m_i;
    const char* last = m_t.data() + m_t.size();
    double v = 0;
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr == first || !std::isfinite(v)) return std::nullopt;
    m_i += static_cast<size_t>(ptr - first);
    return v;
  }
  std::optional<std::vector<double>> NumArray() {
    if (!Eat('[')) return std::nullopt;
    std::vector<double> out;
    if (Eat(']')) return out;
    do {
      auto v = Num();
      if (!v) return std::nullopt;
      out.push_back(*v);
    } while (Eat(','));
    if (!Eat(']')) return std::nullopt;
    return out;
  }

 private:
  std::string_view m_t;
  size_t m_i = 0;
};

}  // namespace

std::optional<PlanFile> ParsePlanJson(std::string_view text, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<PlanFile> {
    if (error) *error = why;
    return std::nullopt;
  };
  Reader r(text);
  if (!r.Eat('{')) return fail("the plan file must hold a JSON object");
  std::optional<std::vector<double>> actions, durations;
  if (!r.Peek('}')) {
    do {
      auto key = r.Str();
      if (!key || !r.Eat(':')) return fail("the plan file is not valid JSON");
      auto values = r.NumArray();
      if (!values) return fail("\"" + *key + "\" must be a list of numbers");
      if (*key == "actions")
        actions = std::move(values);
      else if (*key == "durations")
        durations = std::move(values);
      else
        return fail("unknown key \"" + *key + "\" in the plan file");
    } while (r.Eat(','));
  }
  if (!r.Eat('}') || !r.AtEnd()) return fail("the plan file is not valid JSON");
  if (!actions || !durations) return fail("the plan file needs both \"actions\" and \"durations\"");
  if (actions->size() != durations->size())
    return fail("\"actions\" has " + std::to_string(actions->size()) + " entries but \"durations\" has " +
                std::to_string(durations->size()));
  PlanFile plan;
  for (double a : *actions) {
    if (a != std::floor(a) || a < INT32_MIN || a > INT32_MAX) return fail("actions must be whole numbers");
    plan.actions.push_back(static_cast<int>(a));
  }
  plan.durations = std::move(*durations);
  return plan;
}

}  // namespace korvane::cli
