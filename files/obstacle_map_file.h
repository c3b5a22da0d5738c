#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "sim/meteor_field.h"

namespace korvane {

inline constexpr const char* DefaultMapFileName = "ObstacleMap.txt";
inline constexpr int MaxSavedMaps = 5;

// The bytes of one saved map: "Obstacle<n>" CR LF, then "x,y,r," CR LF per
// meteor, each value truncated toward zero and written with "%d".
std::string FormatMapText(int number, const MeteorField& field);

// Maps are found by their header's 'O', the only O a written file holds.
int CountMaps(std::string_view text);

enum class MapSaveStatus {
  Saved,
  TooManyMaps,  // nothing written
  OpenFailed,   // nothing written
  WriteFailed,  // the file is back at its old length
};

struct MapSaveResult {
  MapSaveStatus status = MapSaveStatus::Saved;
  int number = 0;    // header number of the map (when opened)
  std::string text;  // the map's bytes (when opened)
};

enum class MapLoadStatus {
  Loaded,
  OpenFailed,  // file missing or unreadable
  NoSuchMap,   // fewer than k maps in the file
  Damaged,     // map k does not have the written form
};

enum class MapDefect {
  None,
  BadHeader,       // the O does not start "Obstacle<digits>" and a line end
  BadNumber,       // not an optional sign and decimal digits
  NumberTooLong,   // more text than a 32-bit number needs, or out of its range
  MissingComma,    // the line or the file ends before the third comma
  BadLineEnd,      // something other than a line end after the third comma
  TooManyMeteors,  // more meteors than the field holds
  FileTooLarge,
  OutOfField,  // |x|, |y| or |r| above MaxMapCoordinate
};

// The editor places meteors within the playfield; a map beyond this is not
// one it wrote, and the collision test keeps its sums exact well inside it.
inline constexpr int MaxMapCoordinate = 1000000;

struct MapLoadResult {
  MapLoadStatus status = MapLoadStatus::Loaded;
  int count = 0;  // meteors loaded
  MapDefect defect = MapDefect::None;
  int line = 0;  // 1-based line of the file where the defect is
};

// Map k (1-based) of the text. On success writes entries 0..n-1 and the
// count; on any failure the field is left exactly as it was.
MapLoadResult ParseMapText(std::string_view text, int k, MeteorField& field);

// Text for the window (in the interface's language) and for the command
// line (English, its own words).
std::string MapLoadMessage(const MapLoadResult& r, int k, const std::string& fileName);
std::string MapLoadReason(const MapLoadResult& r, int k);
std::string MapSaveMessage(const MapSaveResult& r, const std::string& fileName);

inline constexpr std::size_t MaxMapFileBytes = 1u << 20;

// The level file of the view. Holds no file open between calls.
class CObstacleMapFile {
 public:
  explicit CObstacleMapFile(std::string fileName = DefaultMapFileName);
  virtual ~CObstacleMapFile() = default;

  // Counts the maps in the file; 0 when it cannot be read. The caller lists
  // entries 1..count; calling it again gives the same count, not more.
  int ScanMaps();

  // Appends the field as the next map. The limit and the header number come
  // from the maps in the file at this moment, read under the append's lock
  // (from m_mapCount when it cannot be read), so removing a full file lifts
  // the limit at once and two savers at once take turns. preview, when given,
  // sees the text after the file is open and before it is written.
  MapSaveResult SaveMap(const MeteorField& field, const std::function<void(const std::string&)>& preview = {});

  // Reads map k into the field; the field is unchanged unless it succeeds.
  MapLoadResult LoadMap(int k, MeteorField& field);

  int MapCount() const { return m_mapCount; }
  const std::string& FileName() const { return m_fileName; }

 private:
  // Maps in the file: 0 when it does not exist, nothing when it cannot be read.
  std::optional<int> CountMapsInFile() const;

  int m_mapCount = 0;
  std::string m_fileName;
};

}  // namespace korvane
