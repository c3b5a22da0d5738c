#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "study/fingerprint.h"

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

// The key's part for a field: "level=2", or a map by its contents,
// "map=<map_fnv>" (written by older studies: "map=FILE:3").
std::string FieldKeyPart(int level, std::string_view map, int mapIndex, std::optional<std::uint64_t> mapFnv);

// A built-in level, or map mapIndex of a saved level file.
struct Field {
  int level = 0;
  std::string map;
  int mapIndex = 0;
  std::optional<std::uint64_t> mapFnv;  // MapFnv of the map, once it is read

  // "level=2", "map=<map_fnv>": the key's part.
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
// seeds first..last, each made when asked for: a grid of millions of runs
// takes the memory of its options. The seed turns fastest, then the varied
// settings (the last by name first), then the field, then the method.
class Grid {
 public:
  Grid(std::vector<Method> methods, std::vector<Field> fields, std::span<const Variation> variations,
       std::uint32_t first, std::uint32_t last);

  // Check GridSize first: the product must fit.
  std::uint64_t Size() const { return m_combinations * m_seeds * m_fields.size() * m_methods.size(); }
  Run At(std::uint64_t i) const;
  // The method of run i, without making the run.
  std::size_t MethodOf(std::uint64_t i) const { return i / (Size() / m_methods.size()); }

  std::uint64_t CombinationCount() const { return m_combinations; }
  // The varied settings of combination c, by name.
  std::vector<Setting> Combination(std::uint64_t c) const;

  const std::vector<Method>& Methods() const { return m_methods; }
  const std::vector<Field>& Fields() const { return m_fields; }

 private:
  std::vector<Method> m_methods;
  std::vector<Field> m_fields;
  std::vector<Variation> m_byName;
  std::uint32_t m_first;
  std::uint64_t m_seeds;
  std::uint64_t m_combinations = 1;
};

// Runs the grid above would hold, in a double so that no product overflows.
double GridSize(std::size_t methods, std::size_t fields, std::span<const Variation> variations, std::uint32_t first,
                std::uint32_t last);

// Whether shard k of n (k from 1) takes the run of this key.
bool InShard(std::string_view key, int k, int n);

}  // namespace korvane::study
