// Our decimal reader against the C++ library's from_chars: the same end, the
// same error and the same bits, over hand-picked edges and generated text.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "sim/read_double.h"

namespace korvane {
namespace {

std::vector<std::string> Cases() {
  std::vector<std::string> c = {
      // what is and is not a number, and where it ends
      "", "-", "+1", " 1", ".", "-.", ".5", "5.", "-5.e2", "1e", "1e+", "1e-x", "1e+5x", "1E5", "1e5.5", "1..2", "0x10",
      "00001.500", "-0", "0", "-0e5", "0e99999999999999", "0.000", "12abc", "1,5", "e5", ".e5", "--1", "inf", "INF",
      "-inf", "infinity", "infINITY", "infinit", "-infinityx", "iNf", "in", "ix", "nan", "NaN", "-nan", "nan(abc)",
      "nan(", "nan()", "nan(a-b)", "nan(_a9)", "-nan(7)", "na", "nanx",
      // ranges: overflow, underflow to zero, subnormals, the largest and least
      "1e400", "-1e400", "1e-400", "1e308", "1.7976931348623157e308", "1.7976931348623158e308",
      "1.7976931348623159e308",
      "179769313486231580793728971405303415079934132710037826936173778980444968292764750946"
      "649017977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273854845817711"
      "531764475730270069855571366959622842914819860834936475292719074168444365510704342711559699508093042880177904"
      "174497791.9999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999",
      "4.9e-324", "4.9406564584124654e-324", "2.4e-324", "2.5e-324", "2.4703282292062328e-324",
      "2.4703282292062327e-324", "-2.4e-324", "1e-320", "2.2250738585072011e-308", "2.2250738585072012e-308",
      "2.2250738585072014e-308", "1e-2147483649", "1e2147483648", "1e99999999999999999999", "1e-99999999999999999999",
      // halfway between doubles: ties to even, a last digit tips it
      "9007199254740993", "9007199254740993.0000000000000000000001", "9007199254740995", "0.1", "1e23",
      "8.98846567431158e307", "1.00000000000000011102230246251565404236316680908203125",
      "1.00000000000000011102230246251565404236316680908203126",
      "1.00000000000000033306690738754696212708950042724609375", "123456789012345678901234567890e-10",
      "-0.000000000000000000000000000000000000000000000000000000000000000000000000000000000000001e-200"};
  // Exactly halfway below the least subnormal, then just above it, written out.
  std::string half = "0.";
  half += std::string(323, '0');
  c.push_back(half + "24703282292062327208828439643411068618252990130716238221279284125033775364");
  c.push_back(half + "247032822920623272088284396434110686182529901307162382212792841250337753641");
  // Long: the digits beyond the kept ones still decide.
  c.push_back("1." + std::string(900, '0') + "1e-300");
  c.push_back("9007199254740993" + std::string(900, '0') + "e-900");
  c.push_back("9007199254740993" + std::string(900, '0') + "1e-900");
  c.push_back(std::string(1000, '9') + "e-1000");
  return c;
}

// Text as people and programs write numbers: printf's forms of random
// doubles and random digit strings with points and exponents.
std::vector<std::string> Generated() {
  std::mt19937_64 rng(26);
  std::vector<std::string> out;
  char buf[128];
  for (int i = 0; i < 4000; ++i) {
    double v;
    const std::uint64_t bits = rng();
    std::memcpy(&v, &bits, sizeof v);
    for (const char* f : {"%.17g", "%.16g", "%.6f", "%.3e", "%.25g", "%.40e"}) {
      std::snprintf(buf, sizeof buf, f, v);
      out.emplace_back(buf);
    }
    const double w = std::ldexp(static_cast<double>(rng() >> 11), static_cast<int>(rng() % 200) - 150);
    std::snprintf(buf, sizeof buf, "%.*g", static_cast<int>(rng() % 25) + 1, w);
    out.emplace_back(buf);
    std::string digits;
    const int n = static_cast<int>(rng() % 40) + 1;
    for (int k = 0; k < n; ++k) digits += static_cast<char>('0' + rng() % 10);
    // A character inserted and a text appended: GCC 12 warns falsely
    // (-Wrestrict) on inserting a C string and on "e" + string.
    if (rng() % 2) digits.insert(digits.begin() + static_cast<std::ptrdiff_t>(rng() % (digits.size() + 1)), '.');
    if (rng() % 2) digits.append(1, 'e').append(std::to_string(static_cast<int>(rng() % 700) - 350));
    out.push_back(digits);
  }
  return out;
}

TEST(ReadDouble, TakesWhatFromCharsTakesAndGivesTheSameBits) {
  std::vector<std::string> all = Cases();
  for (std::string& s : Generated()) all.push_back(std::move(s));
  for (const std::string& s : all) {
    const char* first = s.data();
    const char* last = s.data() + s.size();
    double want = -7.25, got = -7.25;  // left as it was on an error
    const std::from_chars_result w = std::from_chars(first, last, want);
    const std::from_chars_result g = ReadDouble(first, last, got);
    ASSERT_EQ(g.ptr - first, w.ptr - first) << s;
    ASSERT_EQ(static_cast<int>(g.ec), static_cast<int>(w.ec)) << s;
    if (std::isnan(want)) {
      ASSERT_TRUE(std::isnan(got)) << s;
      ASSERT_EQ(std::signbit(got), std::signbit(want)) << s;
    } else {
      std::uint64_t wb, gb;
      std::memcpy(&wb, &want, 8);
      std::memcpy(&gb, &got, 8);
      ASSERT_EQ(gb, wb) << s << ": " << got << " vs " << want;
    }
  }
}

}  // namespace
}  // namespace korvane
