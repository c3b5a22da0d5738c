#include "sim/obstacle_map_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "sim/trunc.h"

namespace korvane {
namespace {

// Longest number text a 32-bit value needs, sign included ("-2147483648"),
// plus room for blanks around it.
constexpr std::size_t kMaxNumberText = 24;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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

  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
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

// Consumes a line end (CR LF or LF); the end of the region also ends a line.
bool SkipLineEnd(std::string_view region, std::size_t& pos) {
  if (pos >= region.size()) return true;
  if (region[pos] == '\n') {
    ++pos;
    return true;
  }
  if (region[pos] == '\r' && pos + 1 < region.size() && region[pos + 1] == '\n') {
    pos += 2;
    return true;
  }
  return false;
}

}  // namespace

std::string UserMapMenuLabel(int number) {
  std::string label = "自定关卡";
  AppendInt(label, number);
  return label;
}

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
    read[static_cast<std::size_t>(n++)] = Obstacle{values[0], values[1], values[2]};
  }

  // Entries beyond the new count keep what they held, as for a built-in level.
  std::copy(read.begin(), read.begin() + n, field.obstacles.begin());
  field.count = n;
  r.count = n;
  return r;
}

namespace {

const char* DefectZh(MapDefect d) {
  switch (d) {
    case MapDefect::BadHeader: return "地图的标题行应为“Obstacle”加编号";
    case MapDefect::BadNumber: return "不是整数";
    case MapDefect::NumberTooLong: return "数字过长或超出范围";
    case MapDefect::MissingComma: return "数字后面缺少逗号";
    case MapDefect::BadLineEnd: return "一行只能有三个数，每个数后面跟一个逗号";
    case MapDefect::TooManyMeteors: return "陨石超过20颗";
    case MapDefect::FileTooLarge: return "文件太大，不是地图文件";
    case MapDefect::None: break;
  }
  return "";
}

const char* DefectEn(MapDefect d) {
  switch (d) {
    case MapDefect::BadHeader: return "the header line must be \"Obstacle\" and a number";
    case MapDefect::BadNumber: return "a value is not a whole number";
    case MapDefect::NumberTooLong: return "a number is too long or out of range";
    case MapDefect::MissingComma: return "a number is not followed by a comma";
    case MapDefect::BadLineEnd: return "a meteor line must hold exactly three numbers, each followed by a comma";
    case MapDefect::TooManyMeteors: return "the map holds more than 20 meteors";
    case MapDefect::FileTooLarge: return "the file is too large for a map file";
    case MapDefect::None: break;
  }
  return "";
}

}  // namespace

std::string MapLoadMessage(const MapLoadResult& r, int k, const std::string& fileName) {
  const std::string unchanged = "，关卡没有改变。";
  switch (r.status) {
    case MapLoadStatus::Loaded: return {};
    case MapLoadStatus::OpenFailed: return "无法打开文件" + fileName + unchanged;
    case MapLoadStatus::NoSuchMap: return "文件" + fileName + "中没有第" + std::to_string(k) + "幅地图" + unchanged;
    case MapLoadStatus::Damaged: {
      std::string where = r.line > 0 ? "第" + std::to_string(r.line) + "行：" : std::string();
      return "文件" + fileName + "中的第" + std::to_string(k) + "幅地图已损坏（" + where + DefectZh(r.defect) + "）" +
             unchanged;
    }
  }
  return {};
}

std::string MapLoadReason(const MapLoadResult& r, int k) {
  switch (r.status) {
    case MapLoadStatus::Loaded: return {};
    case MapLoadStatus::OpenFailed: return "the file cannot be opened";
    case MapLoadStatus::NoSuchMap: return "the file holds no map " + std::to_string(k);
    case MapLoadStatus::Damaged: {
      std::string where = r.line > 0 ? "line " + std::to_string(r.line) + ": " : std::string();
      return "map " + std::to_string(k) + " is damaged (" + where + DefectEn(r.defect) + ")";
    }
  }
  return {};
}

std::string MapSaveMessage(const MapSaveResult& r, const std::string& fileName) {
  switch (r.status) {
    case MapSaveStatus::Saved: return MsgMapSaved;
    case MapSaveStatus::TooManyMaps: return MsgTooManyMaps;
    case MapSaveStatus::OpenFailed: return MsgMapOpenError;
    case MapSaveStatus::WriteFailed: return "写入文件" + fileName + "出错，地图没有保存；文件中原有的地图没有受到影响。";
  }
  return {};
}

CObstacleMapFile::CObstacleMapFile(std::string fileName) : m_fileName(std::move(fileName)) {}

std::optional<int> CObstacleMapFile::CountMapsInFile() const {
  errno = 0;
  std::FILE* f = std::fopen(m_fileName.c_str(), "rb");
  if (!f) {
    if (errno == ENOENT) return 0;
    return std::nullopt;
  }
  char buf[8192];
  std::size_t got;
  int count = 0;
  std::size_t total = 0;
  // The cap also ends the count on a device that never runs dry.
  while (total <= MaxMapFileBytes && (got = std::fread(buf, 1, sizeof buf, f)) > 0) {
    count += CountMaps(std::string_view(buf, got));
    total += got;
  }
  const bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) return std::nullopt;
  return count;
}

int CObstacleMapFile::ScanMaps() {
  m_mapCount = CountMapsInFile().value_or(0);
  return m_mapCount;
}

bool CObstacleMapFile::ReadAll(std::string& out, bool& tooLarge) const {
  out.clear();
  tooLarge = false;
  std::FILE* f = std::fopen(m_fileName.c_str(), "rb");
  if (!f) return false;
  char buf[8192];
  std::size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) {
    out.append(buf, got);
    if (out.size() > MaxMapFileBytes) {
      tooLarge = true;
      break;
    }
  }
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

MapSaveResult CObstacleMapFile::SaveMap(const MeteorField& field,
                                        const std::function<void(const std::string&)>& preview) {
  MapSaveResult r;
  // The maps now in the file decide the limit and the next number.
  if (std::optional<int> inFile = CountMapsInFile()) m_mapCount = *inFile;
  if (m_mapCount >= MaxSavedMaps) {
    r.status = MapSaveStatus::TooManyMaps;
    return r;
  }

  // Appending never truncates what is there.
  std::FILE* f = std::fopen(m_fileName.c_str(), "ab");
  if (!f) {
    r.status = MapSaveStatus::OpenFailed;
    return r;
  }
  long oldLength = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) oldLength = std::ftell(f);

  r.number = m_mapCount + 1;
  r.text = FormatMapText(r.number, field);
  if (preview) preview(r.text);

  bool ok = std::fwrite(r.text.data(), 1, r.text.size(), f) == r.text.size();
  ok = std::fflush(f) == 0 && ok;
  ok = std::ferror(f) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    // Cut a partial map off so the maps before it stay readable.
    if (oldLength >= 0) {
      std::error_code ec;
      std::filesystem::resize_file(m_fileName, static_cast<std::uintmax_t>(oldLength), ec);
    }
    r.status = MapSaveStatus::WriteFailed;
    return r;
  }
  m_mapCount = r.number;
  r.status = MapSaveStatus::Saved;
  return r;
}

MapLoadResult CObstacleMapFile::LoadMap(int k, MeteorField& field) {
  std::string text;
  bool tooLarge = false;
  if (!ReadAll(text, tooLarge)) {
    m_mapCount = 0;
    MapLoadResult r;
    r.status = MapLoadStatus::OpenFailed;
    return r;
  }
  if (tooLarge) {
    MapLoadResult r;
    r.status = MapLoadStatus::Damaged;
    r.defect = MapDefect::FileTooLarge;
    return r;
  }
  return ParseMapText(text, k, field);
}

}  // namespace korvane
