#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A study's grid: every method on every field with every seed and every
// combination of the varied settings, each run named by a key that does not
// depend on the order of the arguments.
namespace korvane::study {

// How a run searches: the plain algorithm, or the heuristic one with a
// network's weights.
struct Method {
  enum class Kind { Ga, Table, Builtin, File, Train };
  Kind kind = Kind::Ga;
  std::string file;             // File: the weights file (its last block)
  std::uint32_t trainSeed = 0;  // Train: the seed the study trains with

  // As written on the command line: "ga", "heuristic:table",
  // "heuristic:FILE", "heuristic:train=3".
  std::string Name() const;
  // The run line's "method" ("ga" or "heuristic") and "weights" ("table",
  // "builtin", the file, "train=S"; none for ga).
  std::string_view Search() const;
  std::optional<std::string> Weights() const;
  friend bool operator==(const Method&, const Method&) = default;
};

// One method as written; an error text when it is not one.
std::optional<Method> ParseMethod(std::string_view text, std::string* error);

// A built-in level, or map mapIndex of a saved level file.
struct Field {
  int level = 0;
  std::string map;
  int mapIndex = 0;

  // "level=2", "map=FILE:3": the key's part.
  std::string KeyPart() const;
  // "level 2", "map FILE:3": as the report shows it.
  std::string Label() const;
  friend bool operator==(const Field&, const Field&) = default;
};

// A setting and a value, the value in the one form a key holds: a whole
// number, or the shortest text that reads back as the same double.
struct Setting {
  std::string name;
  std::string value;
  friend bool operator==(const Setting&, const Setting&) = default;
};

// "Name=Value" made canonical; an error text when the setting or the value
// is refused.
std::optional<Setting> CanonicalSetting(std::string_view assignment, std::string* error);

// One --vary: a setting and the values it takes.
struct Variation {
  std::string name;
  std::vector<std::string> values;  // canonical
};

struct Run {
  int method = 0;  // index into the study's methods
  int field = 0;   // index into the study's fields
  std::uint32_t seed = 0;
  std::vector<Setting> varied;  // by name
  std::string key;
};

// "method=heuristic:table|level=2|vary:ChromosomeLength=60|seed=17": the
// varied settings by name, the seed last, so that a cell's runs share all of
// the key up to "|seed=".
std::string RunKey(const Method& m, const Field& f, std::span<const Setting> varied, std::uint32_t seed);
// The key without its seed: the cell a run belongs to.
std::string_view CellOfKey(std::string_view key);

// Every run of methods × fields × the combinations of the variations ×
// seeds first..last.
std::vector<Run> ExpandGrid(std::span<const Method> methods, std::span<const Field> fields,
                            std::span<const Variation> variations, std::uint32_t first, std::uint32_t last);
// Runs the grid above would hold, without building it.
double GridSize(std::size_t methods, std::size_t fields, std::span<const Variation> variations, std::uint32_t first,
                std::uint32_t last);

// The 64-bit FNV-1a hash: the same on every machine and compiler.
std::uint64_t Fnv1a64(std::string_view bytes);
// Whether shard k of n (k from 1) takes the run of this key.
bool InShard(std::string_view key, int k, int n);

}  // namespace korvane::study
