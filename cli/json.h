#pragma once
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::cli {

// Builds one JSON object as text; numbers round-trip (%.17g).
class JsonWriter {
 public:
  JsonWriter& Begin() { return Raw("{"); }
  JsonWriter& End() { return Raw("}"); }
  JsonWriter& Key(std::string_view k) {
    String(k);
    m_out += ':';
    m_needComma = false;
    return *this;
  }
  JsonWriter& Number(double v);
  JsonWriter& Int(long long v) {
    Comma();
    m_out += std::to_string(v);
    m_needComma = true;
    return *this;
  }
  JsonWriter& Bool(bool v) { return Value(v ? "true" : "false"); }
  JsonWriter& Null() { return Value("null"); }
  JsonWriter& String(std::string_view s);
  JsonWriter& BeginArray() { return Raw("["); }
  JsonWriter& EndArray() { return Raw("]"); }
  JsonWriter& BeginObject() { return Raw("{"); }
  JsonWriter& EndObject() { return Raw("}"); }
  const std::string& Text() const { return m_out; }

 private:
  void Comma() {
    if (m_needComma) m_out += ',';
  }
  JsonWriter& Value(std::string_view v) {
    Comma();
    m_out += v;
    m_needComma = true;
    return *this;
  }
  JsonWriter& Raw(std::string_view s) {
    if (s == "{" || s == "[") {
      Comma();
      m_out += s;
      m_needComma = false;
    } else {
      m_out += s;
      m_needComma = true;
    }
    return *this;
  }

  std::string m_out;
  bool m_needComma = false;
};

// The flight-plan file: {"actions": [...], "durations": [...]}.
struct PlanFile {
  std::vector<int> actions;
  std::vector<double> durations;
};
std::optional<PlanFile> ParsePlanJson(std::string_view text, std::string* error);

}  // namespace korvane::cli
