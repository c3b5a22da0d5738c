#include "study/fingerprint.h"

#include <bit>
#include <charconv>
#include <cstring>

#include "sim/trunc.h"

namespace korvane::study {
namespace {

constexpr std::uint64_t kOffset = 0xcbf29ce484222325ull;
constexpr std::uint64_t kPrime = 0x100000001b3ull;

// The bytes of v, lowest first, into the hash.
template <typename T>
std::uint64_t HashLittleEndian(std::uint64_t h, T v) {
  std::uint64_t bits = 0;
  if constexpr (sizeof(T) == 8)
    bits = std::bit_cast<std::uint64_t>(v);
  else
    bits = std::bit_cast<std::uint32_t>(v);
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    h ^= (bits >> (8 * i)) & 0xffu;
    h *= kPrime;
  }
  return h;
}

}  // namespace

std::uint64_t Fnv1a64(std::string_view bytes) {
  std::uint64_t h = kOffset;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= kPrime;
  }
  return h;
}

std::uint64_t WeightsFnv(std::span<const double> weights) {
  std::uint64_t h = kOffset;
  for (const double w : weights) h = HashLittleEndian(h, w);
  return h;
}

std::uint64_t MapFnv(const MeteorField& field) {
  std::uint64_t h = kOffset;
  const int n = field.count < 0 ? 0 : field.count > MaxObstacles ? MaxObstacles : field.count;
  for (int i = 0; i < n; ++i) {
    const Obstacle& o = field.obstacles[static_cast<std::size_t>(i)];
    for (const double v : {o.x, o.y, o.radius}) h = HashLittleEndian(h, static_cast<std::int32_t>(TruncToInt(v)));
  }
  return h;
}

std::string FnvText(std::uint64_t fnv) {
  char buf[17];
  for (int i = 15; i >= 0; --i, fnv >>= 4) buf[i] = "0123456789abcdef"[fnv & 0xfu];
  return std::string(buf, 16);
}

std::optional<std::uint64_t> ParseFnvText(std::string_view text) {
  std::uint64_t v = 0;
  if (text.size() != 16) return std::nullopt;
  for (const char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return std::nullopt;
  std::from_chars(text.data(), text.data() + text.size(), v, 16);
  return v;
}

}  // namespace korvane::study
