// Decimal text to double, correctly rounded: short numbers by one exact
// multiplication or division, the rest by long division of big integers.
#include "sim/read_double.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace korvane {
namespace {

// Digits kept; the ones after them only tell whether anything was cut off.
// A point halfway between two doubles has at most 767 significant digits,
// so one digit 1 put in place of a nonzero tail rounds as the tail would.
constexpr int kKeptDigits = 800;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The value D * 10^exponent, D the integer of `digits` (no leading zeros).
struct Decimal {
  char digits[kKeptDigits + 1];
  int count = 0;
  bool cutOff = false;  // a nonzero digit beyond those kept
  long long exponent = 0;

  void Add(char c, bool afterPoint) {
    if (count == 0 && c == '0') {
      exponent -= afterPoint ? 1 : 0;
    } else if (count < kKeptDigits) {
      digits[count++] = c;
      exponent -= afterPoint ? 1 : 0;
    } else {
      cutOff = cutOff || c != '0';
      exponent += afterPoint ? 0 : 1;
    }
  }
};

// Digits, an optional point, more digits, and an exponent if digits follow
// its letter. Null when there is no digit at all.
const char* ScanDecimal(const char* p, const char* last, Decimal& d) {
  bool sawDigit = false;
  for (; p != last && IsDigit(*p); ++p, sawDigit = true) d.Add(*p, false);
  if (p != last && *p == '.')
    for (++p; p != last && IsDigit(*p); ++p, sawDigit = true) d.Add(*p, true);
  if (!sawDigit) return nullptr;
  if (p == last || Lower(*p) != 'e') return p;
  const char* q = p + 1;
  const bool negative = q != last && *q == '-';
  if (q != last && (*q == '-' || *q == '+')) ++q;
  if (q == last || !IsDigit(*q)) return p;
  long long e = 0;
  for (; q != last && IsDigit(*q); ++q)
    if (e < 1000000000000000LL) e = e * 10 + (*q - '0');  // far beyond any double either way
  d.exponent += negative ? -e : e;
  return q;
}

bool Matches(const char* p, const char* last, const char* word) {
  for (; *word; ++p, ++word)
    if (p == last || Lower(*p) != *word) return false;
  return true;
}

// "inf", "infinity", "nan", "nan(...)" after the sign.
std::from_chars_result Special(const char* first, const char* p, const char* last, bool negative, double& value) {
  if (Matches(p, last, "inf")) {
    p += Matches(p + 3, last, "inity") ? 8 : 3;
    value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return {p, std::errc()};
  }
  if (!Matches(p, last, "nan")) return {first, std::errc::invalid_argument};
  p += 3;
  if (p != last && *p == '(') {
    const char* q = p + 1;
    while (q != last && (IsDigit(*q) || (Lower(*q) >= 'a' && Lower(*q) <= 'z') || *q == '_')) ++q;
    if (q != last && *q == ')') p = q + 1;
  }
  value = std::copysign(std::numeric_limits<double>::quiet_NaN(), negative ? -1.0 : 1.0);
  return {p, std::errc()};
}

// --- big integers, 32-bit limbs, least significant first ----------------

using Big = std::vector<std::uint32_t>;

void Trim(Big& a) {
  while (!a.empty() && a.back() == 0) a.pop_back();
}

void MulAdd(Big& a, std::uint32_t m, std::uint32_t add) {
  std::uint64_t carry = add;
  for (std::uint32_t& limb : a) {
    const std::uint64_t t = static_cast<std::uint64_t>(limb) * m + carry;
    limb = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  if (carry) a.push_back(static_cast<std::uint32_t>(carry));
}

constexpr std::uint32_t kPow10[10] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

void MulPow10(Big& a, long long n) {
  for (; n >= 9; n -= 9) MulAdd(a, kPow10[9], 0);
  if (n > 0) MulAdd(a, kPow10[n], 0);
}

int BitLength(const Big& a) {
  return a.empty() ? 0 : 32 * static_cast<int>(a.size() - 1) + 32 - __builtin_clz(a.back());
}

Big ShiftedLeft(const Big& a, int bits) {
  Big r(static_cast<std::size_t>(bits / 32), 0);
  const int s = bits % 32;
  std::uint32_t carry = 0;
  for (const std::uint32_t limb : a) {
    r.push_back(limb << s | carry);
    carry = s ? limb >> (32 - s) : 0;
  }
  r.push_back(carry);
  Trim(r);
  return r;
}

void ShiftRightOne(Big& a) {
  for (std::size_t i = 0; i < a.size(); ++i) a[i] = a[i] >> 1 | (i + 1 < a.size() ? a[i + 1] << 31 : 0);
  Trim(a);
}

bool AtLeast(const Big& a, const Big& b) {
  if (a.size() != b.size()) return a.size() > b.size();
  for (std::size_t i = a.size(); i-- > 0;)
    if (a[i] != b[i]) return a[i] > b[i];
  return true;
}

void Subtract(Big& a, const Big& b) {  // a >= b
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::int64_t d = static_cast<std::int64_t>(a[i]) - (i < b.size() ? b[i] : 0) - borrow;
    a[i] = static_cast<std::uint32_t>(d);
    borrow = d < 0;
  }
  Trim(a);
}

// floor(a / b) for a < b * 2^64; inexact tells whether anything remained.
std::uint64_t Divide(Big a, const Big& b, bool& inexact) {
  Big step = ShiftedLeft(b, 63);
  std::uint64_t q = 0;
  for (int i = 63; i >= 0; --i, ShiftRightOne(step)) {
    if (!AtLeast(a, step)) continue;
    Subtract(a, step);
    q |= std::uint64_t{1} << i;
  }
  inexact = !a.empty();
  return q;
}

// D * 10^exponent rounded, for 10^-325 < value < 10^310.
double Exact(const Decimal& d) {
  Big n, m{1};
  for (int i = 0; i < d.count; i += 9) {
    std::uint32_t chunk = 0;
    int len = 0;
    for (; len < 9 && i + len < d.count; ++len)
      chunk = chunk * 10 + static_cast<std::uint32_t>(d.digits[i + len] - '0');
    MulAdd(n, kPow10[len], chunk);
  }
  Trim(n);
  if (d.exponent >= 0)
    MulPow10(n, d.exponent);
  else
    MulPow10(m, -d.exponent);
  // n / m lies in (2^(k-1), 2^(k+1)); scaled by 2^s into (2^62, 2^64).
  const int s = 63 - (BitLength(n) - BitLength(m));
  bool inexact = false;
  const std::uint64_t q = s >= 0 ? Divide(ShiftedLeft(n, s), m, inexact) : Divide(n, ShiftedLeft(m, -s), inexact);
  const int length = 64 - __builtin_clzll(q);
  const int ex = length - 1 - s;  // value in [2^ex, 2^(ex+1))
  // Bits the result keeps: 53, fewer below the normal range.
  const int keep = ex >= -1022 ? 53 : 53 - (-1022 - ex);
  if (keep < 0) return 0.0;
  const int drop = length - keep;  // 10 to 64
  std::uint64_t mant = drop >= 64 ? 0 : q >> drop;
  const std::uint64_t rest = drop >= 64 ? q : q & ((std::uint64_t{1} << drop) - 1);
  const std::uint64_t half = std::uint64_t{1} << (drop - 1);
  if (rest > half || (rest == half && (inexact || (mant & 1)))) ++mant;
  // Exact: mant has at most 53 bits and the result is a double or infinite.
  return std::ldexp(static_cast<double>(mant), ex + 1 - keep);
}

constexpr double kExactPow10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

std::from_chars_result ReadDouble(const char* first, const char* last, double& value) {
  const char* p = first;
  const bool negative = p != last && *p == '-';
  if (negative) ++p;
  if (p != last && (Lower(*p) == 'i' || Lower(*p) == 'n')) return Special(first, p, last, negative, value);
  Decimal d;
  const char* end = ScanDecimal(p, last, d);
  if (!end) return {first, std::errc::invalid_argument};
  if (d.count == 0) {
    value = negative ? -0.0 : 0.0;
    return {end, std::errc()};
  }
  if (d.cutOff) {
    d.digits[d.count++] = '1';
    --d.exponent;
  }
  while (!d.cutOff && d.digits[d.count - 1] == '0') --d.count, ++d.exponent;
  double r = 0.0;
  if (d.count + d.exponent > 310 || d.count + d.exponent < -324) {
    r = d.count + d.exponent > 0 ? HUGE_VAL : 0.0;
  } else if (d.count <= 15 && d.exponent >= -22 && d.exponent <= 22) {
    // Both operands exact: one rounding, the right one.
    double whole = 0.0;
    for (int i = 0; i < d.count; ++i) whole = whole * 10 + (d.digits[i] - '0');
    r = d.exponent >= 0 ? whole * kExactPow10[d.exponent] : whole / kExactPow10[-d.exponent];
  } else {
    r = Exact(d);
  }
  if (r == 0.0 || std::isinf(r)) return {end, std::errc::result_out_of_range};
  value = negative ? -r : r;
  return {end, std::errc()};
}

}  // namespace korvane
