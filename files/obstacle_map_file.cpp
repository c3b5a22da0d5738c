#include "files/obstacle_map_file.h"

#include <algorithm>
#include <cstdio>

#include "files/file_io.h"
#include "files/text_scan.h"
#include "sim/trunc.h"
#include "texts/text_table.h"

namespace korvane {
namespace {

// Longest number text a 32-bit value needs, sign included ("-2147483648"),
// plus room for blanks around it.
constexpr std::size_t kMaxNumberText = 24;

void AppendInt(std::string& out, int v) {
  char buf[16];
  int len = std::snprintf(buf, sizeof buf, "%d", v);
  out.append(buf, static_cast<std::size_t>(len));
}

int LineAt(std::string_view text, std::size_t pos) {
  pos = std::min(pos, text.size());
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
}

// Reads one number up to its comma, as atoi would take it (blanks, optional
// sign, digits) but refusing anything else and anything beyond 32 bits.
MapDefect ReadNumber(std::string_view region, std::size_t& pos, double& value) {
  const std::size_t start = pos;
  while (pos < region.size() && region[pos] != ',' && region[pos] != '\r' && region[pos] != '\n') {
    if (pos - start >= kMaxNumberText) return MapDefect::NumberTooLong;
    ++pos;
  }
  if (pos >= region.size() || region[pos] != ',') return MapDefect::MissingComma;
  std::string_view s = region.substr(start, pos - start);
  ++pos;  // the comma

  s = TrimBlanks(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return MapDefect::BadNumber;
  for (char c : s)
    if (!IsDigit(c)) return MapDefect::BadNumber;
  while (s.size() > 1 && s.front() == '0') s.remove_prefix(1);
  if (s.size() > 10) return MapDefect::NumberTooLong;
  long long v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  if (negative) v = -v;
  if (v < -2147483648LL || v > 2147483647LL) return MapDefect::NumberTooLong;
  value = static_cast<double>(v);
  return MapDefect::None;
}

// Consumes a line end (CR LF or LF); the end of the region also ends a line,
// and so does a CR just before it, where a file was cut inside its line end.
bool SkipLineEnd(std::string_view region, std::size_t& pos) {
  if (pos >= region.size()) return true;
  if (region[pos] == '\n') {
    ++pos;
    return true;
  }
  if (region[pos] == '\r' && (pos + 1 == region.size() || region[pos + 1] == '\n')) {
    pos = std::min(pos + 2, region.size());
    return true;
  }
  return false;
}

}  // namespace

std::string FormatMapText(int number, const MeteorField& field) {
  std::string out = "Obstacle";
  AppendInt(out, number);
  out += "\r\n";
  const int n = std::clamp(field.count, 0, MaxObstacles);
  for (int i = 0; i < n; ++i) {
    const Obstacle& o = field.obstacles[static_cast<std::size_t>(i)];
    for (double v : {o.x, o.y, o.radius}) {
      AppendInt(out, TruncToInt(v));
      out += ',';
    }
    out += "\r\n";
  }
  return out;
}

int CountMaps(std::string_view text) { return static_cast<int>(std::count(text.begin(), text.end(), 'O')); }

MapLoadResult ParseMapText(std::string_view text, int k, MeteorField& field) {
  MapLoadResult r;
  if (k < 1) {
    r.status = MapLoadStatus::NoSuchMap;
    return r;
  }
  // Map k runs from its O to the next O or the end of the file.
  std::size_t begin = std::string_view::npos;
  std::size_t from = 0;
  for (int i = 0; i < k; ++i) {
    begin = text.find('O', from);
    if (begin == std::string_view::npos) {
      r.status = MapLoadStatus::NoSuchMap;
      return r;
    }
    from = begin + 1;
  }
  std::size_t end = text.find('O', begin + 1);
  if (end == std::string_view::npos) end = text.size();
  const std::string_view region = text.substr(begin, end - begin);

  auto damaged = [&](MapDefect defect, std::size_t pos) {
    r.status = MapLoadStatus::Damaged;
    r.defect = defect;
    r.line = LineAt(text, begin + pos);
    r.count = 0;
    return r;
  };

  constexpr std::string_view head = "Obstacle";
  std::size_t pos = 0;
  if (region.substr(0, head.size()) != head) return damaged(MapDefect::BadHeader, 0);
  pos = head.size();
  const std::size_t digits = pos;
  while (pos < region.size() && IsDigit(region[pos]) && pos - digits < 9) ++pos;
  if (pos == digits || !SkipLineEnd(region, pos)) return damaged(MapDefect::BadHeader, 0);

  std::array<Obstacle, MaxObstacles> read{};
  int n = 0;
  while (pos < region.size()) {
    if (SkipLineEnd(region, pos)) continue;  // a blank line
    const std::size_t lineStart = pos;
    if (n == MaxObstacles) return damaged(MapDefect::TooManyMeteors, lineStart);
    double values[3] = {0, 0, 0};
    for (double& v : values) {
      const std::size_t numberStart = pos;
      MapDefect d = ReadNumber(region, pos, v);
      if (d != MapDefect::None) return damaged(d, numberStart);
    }
    while (pos < region.size() && IsBlank(region[pos])) ++pos;
    if (!SkipLineEnd(region, pos)) return damaged(MapDefect::BadLineEnd, lineStart);
    for (double v : values)
      if (v < -MaxMapCoordinate || v > MaxMapCoordinate) return damaged(MapDefect::OutOfField, lineStart);
    read[static_cast<std::size_t>(n++)] = Obstacle{values[0], values[1], values[2]};
  }

  // Entries beyond the new count keep what they held, as for a built-in level.
  std::copy(read.begin(), read.begin() + n, field.obstacles.begin());
  field.count = n;
  r.count = n;
  return r;
}

namespace {

// In the order of MapDefect.
constexpr Tx kDefects[] = {
    Tx::None,          Tx::MapBadHeader,      Tx::MapBadNumber,    Tx::MapNumberTooLong, Tx::MapMissingComma,
    Tx::MapBadLineEnd, Tx::MapTooManyMeteors, Tx::MapFileTooLarge, Tx::MapOutOfField};

std::string_view Defect(MapDefect d, text::Lang lang) { return text::Get(kDefects[static_cast<int>(d)], lang); }

// "第3行：", "line 3: "; nothing when there is no line to name.
std::string LineAt(int line, text::Lang lang) { return line > 0 ? text::Say<Tx::LineAt>(lang, line) : std::string(); }

}  // namespace

std::string MapLoadMessage(const MapLoadResult& r, int k, const std::string& fileName) {
  switch (r.status) {
    case MapLoadStatus::Loaded: return {};
    case MapLoadStatus::OpenFailed: return text::Ui<Tx::MapCannotOpen>(fileName);
    case MapLoadStatus::NoSuchMap: return text::Ui<Tx::MapNotInFile>(fileName, k);
    case MapLoadStatus::Damaged: {
      const text::Lang lang = text::UiLanguage();
      return text::Ui<Tx::MapDamaged>(fileName, k, LineAt(r.line, lang), Defect(r.defect, lang));
    }
  }
  return {};
}

std::string MapLoadReason(const MapLoadResult& r, int k) {
  switch (r.status) {
    case MapLoadStatus::Loaded: return {};
    case MapLoadStatus::OpenFailed: return std::string(text::En(Tx::CliMapCannotOpen));
    case MapLoadStatus::NoSuchMap: return text::En<Tx::CliMapNotInFile>(k);
    case MapLoadStatus::Damaged:
      return text::En<Tx::CliMapDamaged>(k, LineAt(r.line, text::Lang::En), Defect(r.defect, text::Lang::En));
  }
  return {};
}

std::string MapSaveMessage(const MapSaveResult& r, const std::string& fileName) {
  switch (r.status) {
    case MapSaveStatus::Saved: return std::string(text::Ui(Tx::MapSaved));
    case MapSaveStatus::TooManyMaps: return std::string(text::Ui(Tx::TooManyMaps));
    case MapSaveStatus::OpenFailed: return std::string(text::Ui(Tx::FileOpenError));
    case MapSaveStatus::WriteFailed: return text::Ui<Tx::MapWriteFailed>(fileName);
  }
  return {};
}

CObstacleMapFile::CObstacleMapFile(std::string fileName) : m_fileName(std::move(fileName)) {}

std::optional<int> CObstacleMapFile::CountMapsInFile() const {
  std::string text;
  switch (ReadCapped(m_fileName, MaxMapFileBytes, text)) {
    case ReadStatus::Missing: return 0;
    case ReadStatus::Failed: return std::nullopt;
    case ReadStatus::Ok:
    case ReadStatus::TooLarge: break;
  }
  return CountMaps(text);
}

int CObstacleMapFile::ScanMaps() {
  m_mapCount = CountMapsInFile().value_or(0);
  return m_mapCount;
}

MapSaveResult CObstacleMapFile::SaveMap(const MeteorField& field,
                                        const std::function<void(const std::string&)>& preview) {
  MapSaveResult r;
  AppendFile file;
  if (!file.Open(m_fileName)) {
    // A full file still says it is full, even where it cannot be written.
    if (std::optional<int> inFile = CountMapsInFile()) m_mapCount = *inFile;
    r.status = m_mapCount >= MaxSavedMaps ? MapSaveStatus::TooManyMaps : MapSaveStatus::OpenFailed;
    return r;
  }
  // The maps in the file under the lock decide the limit and the next number,
  // so two programs saving at once cannot both write the fifth map.
  std::string text;
  if (file.ReadLocked(MaxMapFileBytes, text) != ReadStatus::Failed) m_mapCount = CountMaps(text);
  if (m_mapCount >= MaxSavedMaps) {
    r.status = MapSaveStatus::TooManyMaps;
    return r;
  }
  r.number = m_mapCount + 1;
  r.text = FormatMapText(r.number, field);
  if (preview) preview(r.text);
  if (file.Write(r.text) != AppendStatus::Ok) {
    r.status = MapSaveStatus::WriteFailed;
    return r;
  }
  m_mapCount = r.number;
  r.status = MapSaveStatus::Saved;
  return r;
}

MapLoadResult CObstacleMapFile::LoadMap(int k, MeteorField& field) {
  std::string text;
  MapLoadResult r;
  switch (ReadCapped(m_fileName, MaxMapFileBytes, text)) {
    case ReadStatus::Missing:
    case ReadStatus::Failed:
      m_mapCount = 0;
      r.status = MapLoadStatus::OpenFailed;
      return r;
    case ReadStatus::TooLarge:
      r.status = MapLoadStatus::Damaged;
      r.defect = MapDefect::FileTooLarge;
      return r;
    case ReadStatus::Ok: break;
  }
  return ParseMapText(text, k, field);
}

}  // namespace korvane
