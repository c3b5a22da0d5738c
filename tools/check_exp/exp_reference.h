// The reference our exp is held to: MPFR's exp, correctly rounded to a double
// (subnormals and overflow included), and the inputs where exp changes
// character. For check_exp and the tests only; the program never links MPFR.
#pragma once

#include <mpfr.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace korvane::exp_reference {

// exp(x) rounded once, to nearest even, into a double.
inline double Exp(double x) {
  // MPFR's exponent range is per thread; a double's is [2^-1074, 2^1024).
  const mpfr_exp_t emin = mpfr_get_emin(), emax = mpfr_get_emax();
  mpfr_set_emin(-1073);
  mpfr_set_emax(1024);
  mpfr_t a, y;
  mpfr_init2(a, 53);
  mpfr_init2(y, 53);
  mpfr_set_d(a, x, MPFR_RNDN);
  mpfr_subnormalize(y, mpfr_exp(y, a, MPFR_RNDN), MPFR_RNDN);
  const double r = mpfr_get_d(y, MPFR_RNDN);
  mpfr_clear(a);
  mpfr_clear(y);
  mpfr_set_emin(emin);
  mpfr_set_emax(emax);
  return r;
}

// exp(x) to 256 bits, against which double-double results are measured.
class ExpAt256 {
 public:
  explicit ExpAt256(double x) {
    mpfr_init2(e_, 256);
    mpfr_init2(s_, 256);
    mpfr_set_d(s_, x, MPFR_RNDN);
    mpfr_exp(e_, s_, MPFR_RNDN);
  }
  ~ExpAt256() {
    mpfr_clear(e_);
    mpfr_clear(s_);
  }
  ExpAt256(const ExpAt256&) = delete;
  ExpAt256& operator=(const ExpAt256&) = delete;

  // |hi + lo - exp(x) 2^-m|.
  double Error(double hi, double lo, int m) {
    mpfr_set_d(s_, hi, MPFR_RNDN);
    mpfr_add_d(s_, s_, lo, MPFR_RNDN);  // exact: hi + lo needs far fewer than 256 bits
    mpfr_mul_2si(s_, s_, m, MPFR_RNDN);
    mpfr_sub(s_, s_, e_, MPFR_RNDN);
    mpfr_div_2si(s_, s_, m, MPFR_RNDN);
    return std::abs(mpfr_get_d(s_, MPFR_RNDN));
  }

 private:
  mpfr_t e_, s_;
};

// Same bits; any NaN counts as the same NaN.
inline bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b)); }

// Where exp changes character, each with neighbours a few ulps away: 0, the
// tiny inputs where exp rounds to 1 or its neighbours, the sigmoid's cut-offs,
// the ends of the normal and subnormal ranges, overflow, and every k ln 2,
// where the table and the scale change.
inline std::vector<double> EdgeInputs() {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  std::vector<double> base = {0.0,
                              4.9e-324,
                              1e-300,
                              0x1p-60,
                              0x1p-55,
                              0x1p-54,
                              0x1p-53,
                              0x1.8p-53,
                              0x1p-52,
                              1e-10,
                              0.5,
                              1.0,
                              36.75,
                              36.7368005696771,
                              100.0,
                              709.77,
                              709.78,
                              709.782712893384,
                              709.79,
                              710.0,
                              745.13321910194111,
                              746.0,
                              1e300,
                              708.39,
                              708.3964185322641,
                              708.4,
                              720.0,
                              744.44007192138122,
                              745.2,
                              750.0};
  for (int k = -1075; k <= 1024; ++k) base.push_back(k * 0.6931471805599453);
  for (int k = 1; k < 64; ++k) base.push_back(k * 0.6931471805599453 / 64);
  std::vector<double> out = {kInf, -kInf, std::numeric_limits<double>::quiet_NaN(),
                             -std::numeric_limits<double>::quiet_NaN(), std::nan("0x42")};
  for (double v : base) {
    for (double s : {v, -v}) {
      double lo = s, hi = s;
      out.push_back(s);
      for (int i = 0; i < 3; ++i) {
        out.push_back(lo = std::nextafter(lo, -kInf));
        out.push_back(hi = std::nextafter(hi, kInf));
      }
    }
  }
  return out;
}

}  // namespace korvane::exp_reference
