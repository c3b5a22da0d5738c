// 2^(j/64) for j = 0..63, the table both exp evaluations scale by: compiled
// once, shared by every target.
#pragma once

namespace korvane::vecmath::detail {

// 2^(j/64) = kExp2Hi[j] + kExp2Lo[j] to 2^-79 relative, kExp2Hi[j] having 26
// bits so that its products with 26-bit halves are exact. Made with mpmath at
// 300 bits: t = 2**(j/64), hi = nint(t * 2**25) / 2**25, lo = float(t - hi).
alignas(64) inline constexpr double kExp2Hi[64] = {
    0x1p+0,         0x1.02c9a4p+0,  0x1.059b0dp+0,  0x1.0874518p+0, 0x1.0b5587p+0,  0x1.0e3ec3p+0,  0x1.11301dp+0,
    0x1.1429abp+0,  0x1.172b84p+0,  0x1.1a35be8p+0, 0x1.1d4873p+0,  0x1.2063b88p+0, 0x1.2387a7p+0,  0x1.26b4568p+0,
    0x1.29e9df8p+0, 0x1.2d285a8p+0, 0x1.306fe08p+0, 0x1.33c08bp+0,  0x1.371a738p+0, 0x1.3a7db38p+0, 0x1.3dea65p+0,
    0x1.4160a2p+0,  0x1.44e086p+0,  0x1.486a2b8p+0, 0x1.4bfdad8p+0, 0x1.4f9b278p+0, 0x1.5342b58p+0, 0x1.56f4738p+0,
    0x1.5ab07ep+0,  0x1.5e76f18p+0, 0x1.6247ebp+0,  0x1.662388p+0,  0x1.6a09e68p+0, 0x1.6dfb24p+0,  0x1.71f75e8p+0,
    0x1.75feb58p+0, 0x1.7a1147p+0,  0x1.7e2f338p+0, 0x1.8258998p+0, 0x1.868d998p+0, 0x1.8ace54p+0,  0x1.8f1ae98p+0,
    0x1.93737bp+0,  0x1.97d82ap+0,  0x1.9c4918p+0,  0x1.a0c6678p+0, 0x1.a5503bp+0,  0x1.a9e6b58p+0, 0x1.ae89f98p+0,
    0x1.b33a2b8p+0, 0x1.b7f76fp+0,  0x1.bcc1e9p+0,  0x1.c199bep+0,  0x1.c67f13p+0,  0x1.cb720ep+0,  0x1.d072d48p+0,
    0x1.d5818ep+0,  0x1.da9e6p+0,   0x1.dfc973p+0,  0x1.e502ee8p+0, 0x1.ea4afap+0,  0x1.efa1bfp+0,  0x1.f507658p+0,
    0x1.fa7c18p+0,
};
alignas(64) inline constexpr double kExp2Lo[64] = {
    0.0,
    -0x1.887f9f1190835p-28,
    0x1.8ac2ba1d73e2ap-27,
    0x1.d66f20230d7c9p-30,
    -0x1.833b784eb3a37p-27,
    0x1.69e8d10103a17p-27,
    0x1.25b50a4ebbf1bp-32,
    -0x1.56d2204cbefe7p-28,
    -0x1.c15742919041cp-27,
    0x1.b7e5ba9e5b4c8p-27,
    0x1.68b9aa7805b8p-28,
    0x1.8a3358ee3bac1p-30,
    -0x1.8a9dc7993e052p-28,
    -0x1.0ec1916d42cc6p-27,
    -0x1.70108f69ed175p-27,
    -0x1.1bfcf4bff6e2bp-28,
    0x1.18db8a96f46adp-27,
    0x1.320b7fa64e431p-27,
    -0x1.8aac6ab1d756p-29,
    -0x1.8d30048af21b7p-27,
    -0x1.f6e5eee525f6fp-27,
    0x1.f72e29f84325cp-28,
    0x1.8624b40c4dbdp-30,
    -0x1.1f6197f61f2e2p-27,
    -0x1.64eaec715e343p-27,
    -0x1.62d35952cc275p-28,
    -0x1.62b07e20f57c4p-28,
    -0x1.4ad82599135p-28,
    -0x1.5bd5eb539b67fp-27,
    -0x1.296f5bc8b20dap-27,
    0x1.d2ac258f87d03p-31,
    0x1.2a91124893ecfp-27,
    -0x1.80c4336f74d05p-28,
    -0x1.cd72e886ef8eap-27,
    0x1.d8bee7ba46e1ep-29,
    -0x1.bd98374091656p-28,
    0x1.f580c36bea881p-27,
    -0x1.30b19defa2fd4p-28,
    0x1.4cce128acf88bp-28,
    0x1.a2497640720edp-27,
    0x1.15506dadd3e2bp-27,
    0x1.1577362b98274p-28,
    0x1.9b8bc9e8a0388p-29,
    -0x1.0d8d83a30b6f8p-31,
    0x1.51f8480e3e236p-27,
    0x1.aef2b2594d6d4p-27,
    0x1.1f12ae45a1225p-27,
    -0x1.4301205e0a6dep-27,
    0x1.5ad3ad5e8734dp-28,
    0x1.3c57ebdaff43ap-30,
    0x1.7daf237553d84p-27,
    0x1.2f074891ee83dp-30,
    -0x1.3d56b1eeef9a7p-27,
    -0x1.a82eb4b5dec8p-28,
    -0x1.8837cb757e1a1p-27,
    0x1.03c4bdc687918p-27,
    -0x1.822dbc6d12fd3p-27,
    0x1.ed9942b84600dp-27,
    0x1.bdcdaf5cb4656p-27,
    -0x1.d30027630bb4p-30,
    0x1.52486cc2c7b9dp-27,
    -0x1.9ea5d888e02dep-28,
    0x1.b722a033a7c26p-27,
    0x1.9e90d82e90a7ep-28,
};

// The same values split for fused multiply-adds: kExp2Near.hi[j] is the double
// nearest 2^(j/64) and 2^(j/64) = hi e^log_rest, |log_rest| <= 2^-53, to 2^-77
// (from the pairs above: log(1 + d) = d to 2^-107 for d that small).
struct Exp2Near {
  alignas(64) double hi[64];
  alignas(64) double log_rest[64];
};

constexpr Exp2Near MakeExp2Near() {
  Exp2Near t{};
  for (int j = 0; j < 64; ++j) {
    const double hi = kExp2Hi[j] + kExp2Lo[j];
    const double rest = kExp2Lo[j] - (hi - kExp2Hi[j]);  // exact: |kExp2Hi| >= |kExp2Lo|
    t.hi[j] = hi;
    t.log_rest[j] = rest / hi;
  }
  return t;
}

inline constexpr Exp2Near kExp2Near = MakeExp2Near();

}  // namespace korvane::vecmath::detail
