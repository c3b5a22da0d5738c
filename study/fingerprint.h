#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/meteor_field.h"

// What a run line names a network and a map by: their contents, not the
// names of their files.
namespace korvane::study {

// The 64-bit FNV-1a hash: the same on every machine and compiler.
std::uint64_t Fnv1a64(std::string_view bytes);

// FNV-1a over the weights flown, as little-endian IEEE doubles in the flat
// order.
std::uint64_t WeightsFnv(std::span<const double> weights);
// FNV-1a over the meteors' x, y and r, as little-endian int32, in map order.
std::uint64_t MapFnv(const MeteorField& field);

// As a run line writes one: 16 lowercase hex digits; and back.
std::string FnvText(std::uint64_t fnv);
std::optional<std::uint64_t> ParseFnvText(std::string_view text);

}  // namespace korvane::study
