#include "ui_model/breeding_panel.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "sim/trunc.h"
#include "ui_model/formatted.h"
#include "ui_model/scene_paint.h"
#include "ui_model/see_inside.h"

namespace korvane {
namespace {

constexpr unsigned TitleColour = 0xFFD24Au;
constexpr unsigned EliteColour = 0xFFD24Au;
constexpr unsigned ParentColour = 0x4FE3FFu;
constexpr unsigned InsertColour = 0xFFFFFFu;
constexpr unsigned ThrustChangeColour = 0xFF4A4Au;
constexpr unsigned DurationChangeColour = 0xFFE14Au;
constexpr unsigned LargeChangeColour = 0xFF4AE0u;
constexpr unsigned WheelColours[2] = {0x2A2F4Au, 0x3A4266u};
constexpr unsigned PointerColour = 0xFF4A4Au;
constexpr unsigned JoinColour = 0x6A7090u;
constexpr unsigned DroppedColour = 0x4A4F68u;
constexpr unsigned DroppedTextColour = 0x8A8FA8u;

// Where things go, for a panel of W x H.
struct Layout {
  int W, H;
  int left = 8;
  int stripX = 30;  // the generation's strips
  int stripW() const { return W / 2 - 78; }
  int fitnessX() const { return stripX + stripW() + 4; }
  int right() const { return W / 2 + 2; }  // the chosen child's block
  int rightW() const { return W - 8 - right(); }
  int detailX() const { return right() + 40; }  // its parent and child strips
  int detailW() const { return W - 8 - detailX(); }
  static constexpr int rowsTop = 38;
  static constexpr int rowH = 9;
  int rows() const { return std::max(1, (H - 70) / rowH); }
  static constexpr int parentY = 74;
  static constexpr int childY = 110;
  static constexpr int detailH = 14;
  static constexpr int listY = 136;
};

int Ticks(double d) { return d > 0 ? static_cast<int>(std::ceil(std::min(d, 1e6))) : 0; }

int PlanTicks(const CPlanGenome& plan) {
  int t = 0;
  for (double d : plan.m_durations) t += Ticks(d);
  return t;
}

// A plan's genes as boxes from x, each as wide as its ticks (a gene of no
// tick, which the flight skips, one pixel), cut at x + width.
std::vector<IRect> GeneBoxes(const CPlanGenome& plan, int x, int y, int h, int width, double scale) {
  std::vector<IRect> out;
  int at = x;
  for (std::size_t i = 0; i < plan.m_durations.size(); ++i) {
    const int w = std::max(1, TruncToInt(Ticks(plan.m_durations[i]) * scale));
    const int cut = std::min(w, x + width - at);
    out.push_back({at, y, std::max(0, cut), h});
    at += std::max(0, cut);
  }
  return out;
}

void PlanStrip(Shapes& out, const CPlanGenome& plan, const std::vector<IRect>& boxes) {
  for (std::size_t i = 0; i < boxes.size(); ++i)
    if (boxes[i].w > 0) out.Fill(boxes[i], ThrustColour(plan.m_actions[i]));
}

// A weight list as a bar, a column a weight, coloured as the network panel
// colours activations.
std::vector<IRect> WeightColumns(std::size_t n, int x, int y, int h, int width) {
  std::vector<IRect> out;
  for (std::size_t i = 0; i < n; ++i) {
    const int a = x + static_cast<int>(i * static_cast<std::size_t>(width) / n);
    const int b = x + static_cast<int>((i + 1) * static_cast<std::size_t>(width) / n);
    out.push_back({a, y, std::max(1, b - a), h});
  }
  return out;
}

void WeightBar(Shapes& out, const std::vector<double>& w, const std::vector<IRect>& columns) {
  for (std::size_t i = 0; i < w.size() && i < columns.size(); ++i) out.Fill(columns[i], ActivationColour(w[i]));
}

std::string More(std::size_t left) { return text::Ui<Tx::BreedMore>(static_cast<int>(left)); }

// The head, then the items as far as the lines allow (at least one a line),
// then how many are left; y moves below the lines written.
void List(Shapes& out, int x, int& y, int width, const std::string& head, const std::vector<std::string>& items,
          int lines) {
  constexpr int px = 11;
  const std::string sep = Say(Tx::ItemSeparator);
  std::size_t i = 0;
  for (int l = 0; l < lines; ++l) {
    const std::string start = l == 0 ? head : std::string();
    const bool last = l + 1 == lines;
    std::string line = start;
    for (; i < items.size(); ++i) {
      const std::string next = line + (line == start ? "" : sep) + items[i];
      const int reserve = last && i + 1 < items.size() ? RoughTextWidth(More(items.size() - i - 1), px) : 0;
      if (line != start && RoughTextWidth(next, px) + reserve > width) break;
      line = next;
    }
    if (last && i < items.size()) line += More(items.size() - i);
    out.Write(x, y, line, PanelLabelColour, px);
    y += 15;
    if (i >= items.size()) break;
  }
}

// The roulette wheel as a bar of slices, worst first, the parent's slice
// lit and the draw's pointer where it landed; and the line that says so.
template <class Genome>
void Roulette(Shapes& out, const Layout& at, std::span<const Genome> sorted, double total, int parent, double target,
              double (*fitness)(const Genome&)) {
  const int x = at.right(), w = at.rightW(), y = 38;
  out.Fill({x, y, w, 12}, WheelColours[0]);
  double before = 0.0, sum = 0.0;
  const double scale = total > 0 ? w / total : 0.0;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const double f = fitness(sorted[i]);
    const int a = x + TruncToInt(std::clamp(sum * scale, 0.0, 1.0 * w));
    if (static_cast<int>(i) == parent) before = sum;
    sum += f;
    const int b = x + TruncToInt(std::clamp(sum * scale, 0.0, 1.0 * w));
    if (static_cast<int>(i) == parent)
      out.Fill({a, y, std::max(2, b - a), 12}, ParentColour);
    else if (b - a >= 3 && i % 2)
      out.Fill({a, y, b - a, 12}, WheelColours[1]);
  }
  const double after =
      parent >= 0 && parent < static_cast<int>(sorted.size()) ? before + fitness(sorted[parent]) : before;
  const int px = x + TruncToInt(std::clamp(target * scale, 0.0, 1.0 * w));
  out.Stroke({px, y - 4}, {px, y + 16}, PointerColour, 2);
  const double share = total > 0 ? (after - before) / total * 100.0 : 0.0;
  out.Write(x, 56, text::Ui<Tx::BreedRoulette>(Two(target), Two(total), Two(before), Two(after), Two(share)),
            PanelLabelColour, 11);
}

double PlanFitness(const CPlanGenome& g) { return g.m_fitness; }
double WeightFitness(const WeightGenome& g) { return g.fitness; }

// The generation's rows, best on top, elites outlined, the chosen child's
// parent outlined (in a row of its own below when it is not among them).
template <class Genome, class Strip>
void Rows(Shapes& out, const Layout& at, std::span<const Genome> sorted, int elites, int parent,
          double (*fitness)(const Genome&), Strip&& strip) {
  const int n = static_cast<int>(sorted.size());
  const int shown = std::min(n, at.rows() - 1);
  auto row = [&](int rank, int y) {
    const Genome& g = sorted[static_cast<std::size_t>(n - rank)];
    const IRect box{at.stripX, y, at.stripW(), Layout::rowH - 2};
    strip(g, box);
    out.Write(at.left, y - 2, std::to_string(rank), PanelLabelColour, 9);
    out.Write(at.fitnessX(), y - 2, Two(fitness(g)), PanelLabelColour, 9);
    if (rank <= elites) out.Frame({box.x - 1, box.y - 1, box.w + 2, box.h + 2}, EliteColour);
    if (n - rank == parent) out.Frame({box.x - 2, box.y - 2, box.w + 4, box.h + 4}, ParentColour, 2);
  };
  for (int r = 1; r <= shown; ++r) row(r, Layout::rowsTop + (r - 1) * Layout::rowH);
  const int parentRank = parent >= 0 ? n - parent : 0;
  if (parentRank > shown) {
    const int y = Layout::rowsTop + shown * Layout::rowH + 4;
    row(parentRank, y);
  }
  out.Write(at.left, 20, text::Ui<Tx::BreedShown>(n, shown), PanelLabelColour, 11);
}

void Plans(Shapes& out, const Layout& at, const BreedingView& b, int child) {
  const auto& bred = *b.plans;
  const std::span<const CPlanGenome> sorted = bred.Sorted();
  const int n = static_cast<int>(sorted.size());
  const PlanBreedingRecord& record = bred.record;
  const bool chosen = child >= 0 && child < static_cast<int>(record.children.size());
  const PlanChildRecord* rec = chosen ? &record.children[static_cast<std::size_t>(child)] : nullptr;
  int most = 1;
  for (const CPlanGenome& g : sorted) most = std::max(most, PlanTicks(g));
  const double scale = static_cast<double>(at.stripW()) / most;
  Rows(out, at, sorted, b.elites, rec ? rec->parent : -1, &PlanFitness,
       [&](const CPlanGenome& g, IRect box) { PlanStrip(out, g, GeneBoxes(g, box.x, box.y, box.h, box.w, scale)); });
  if (!rec || rec->parent < 0 || rec->parent >= n) {
    out.Write(at.right(), 4, Say(Tx::BreedNoChild), TitleColour, 13);
    return;
  }
  const CPlanGenome& parent = sorted[static_cast<std::size_t>(rec->parent)];
  const std::size_t c = static_cast<std::size_t>(child);
  const CPlanGenome kid = record.Child(c, parent);
  out.Write(at.right(), 4, text::Ui<Tx::BreedChild>(child + 1, static_cast<int>(record.children.size())), TitleColour,
            13);
  out.Write(at.right(), 20, text::Ui<Tx::BreedParent>(n - rec->parent, Two(parent.m_fitness)), ParentColour, 12);
  Roulette(out, at, sorted, b.total, rec->parent, rec->target, &PlanFitness);

  const double detail = static_cast<double>(at.detailW()) / std::max({1, PlanTicks(parent), PlanTicks(kid)});
  const auto from = GeneBoxes(parent, at.detailX(), Layout::parentY, Layout::detailH, at.detailW(), detail);
  const auto to = GeneBoxes(kid, at.detailX(), Layout::childY, Layout::detailH, at.detailW(), detail);
  out.Write(at.right(), Layout::parentY, Say(Tx::BreedParentRow), ParentColour, 11);
  out.Write(at.right(), Layout::childY, Say(Tx::BreedChildRow), PanelLabelColour, 11);
  PlanStrip(out, parent, from);
  PlanStrip(out, kid, to);
  // Copied genes joined to where they went; the ones pushed out dimmed.
  std::size_t copied = 0;
  const auto insertedGenes = record.InsertedOf(c);
  const auto isInserted = [&](int gene) {
    return std::any_of(insertedGenes.begin(), insertedGenes.end(),
                       [&](const PlanBreedingRecord::Inserted& g) { return g.gene == gene; });
  };
  for (std::size_t j = 0; j < to.size(); ++j) {
    if (isInserted(static_cast<int>(j))) {
      out.Frame({to[j].x, to[j].y - 1, to[j].w, to[j].h + 2}, InsertColour, 2);
      continue;
    }
    if (copied < from.size()) {
      const IRect& f = from[copied++];
      out.Stroke({f.x + f.w / 2, f.y + f.h}, {to[j].x + to[j].w / 2, to[j].y}, JoinColour);
    }
  }
  for (std::size_t i = copied; i < from.size(); ++i) out.Fill({from[i].x, from[i].y + 5, from[i].w, 4}, DroppedColour);
  if (copied < from.size())
    out.Write(from[copied].x, Layout::parentY + Layout::detailH + 1, Say(Tx::BreedDropped), DroppedTextColour, 10);
  std::vector<std::string> inserted, thrusts, durations;
  for (const auto& in : insertedGenes) {
    const int g = in.gene;
    if (g >= 0 && g < kid.Length())
      inserted.push_back(text::Ui<Tx::ItemInserted>(g + 1, ThrustName(kid.m_actions[g]), Two(kid.m_durations[g])));
  }
  for (const auto& m : record.ThrustsOf(c)) {
    if (m.gene < static_cast<int>(to.size())) out.Frame(to[static_cast<std::size_t>(m.gene)], ThrustChangeColour, 2);
    thrusts.push_back(text::Ui<Tx::ItemThrust>(m.gene + 1, ThrustName(m.before), ThrustName(m.after)));
  }
  for (const auto& m : record.DurationsOf(c)) {
    if (m.gene < static_cast<int>(to.size())) {
      const IRect& r = to[static_cast<std::size_t>(m.gene)];
      out.Fill({r.x, r.y + r.h + 1, r.w, 3}, DurationChangeColour);
    }
    durations.push_back(text::Ui<Tx::ItemDuration>(m.gene + 1, Two(m.before), Two(m.after)));
  }
  int y = Layout::listY;
  const int w = at.rightW();
  List(out, at.right(), y, w, text::Ui<Tx::BreedInserted>(static_cast<int>(inserted.size())), inserted, 2);
  List(out, at.right(), y, w, text::Ui<Tx::BreedThrusts>(static_cast<int>(thrusts.size())), thrusts, 2);
  List(out, at.right(), y, w, text::Ui<Tx::BreedDurations>(static_cast<int>(durations.size())), durations, 2);
  // The key: a thrust's colour.
  for (int c = 0; c < 5; ++c) {
    const int x = at.left + c * 64;
    out.Fill({x, at.H - 14, 10, 10}, ThrustColour(c));
    out.Write(x + 14, at.H - 16, ThrustName(c), PanelLabelColour, 11);
  }
}

void Weights(Shapes& out, const Layout& at, const BreedingView& b, int child) {
  const auto& bred = *b.weights;
  const std::span<const WeightGenome> sorted = bred.Sorted();
  const int n = static_cast<int>(sorted.size());
  const WeightChildRecord* rec = child >= 0 && child < static_cast<int>(bred.record.children.size())
                                     ? &bred.record.children[static_cast<std::size_t>(child)]
                                     : nullptr;
  Rows(out, at, sorted, b.elites, rec ? rec->parent : -1, &WeightFitness, [&](const WeightGenome& g, IRect box) {
    WeightBar(out, g.weights, WeightColumns(g.weights.size(), box.x, box.y, box.h, box.w));
  });
  out.Write(at.left, at.H - 16, Say(Tx::WeightScale), PanelLabelColour, 11);
  if (!rec || rec->parent < 0 || rec->parent >= n) {
    out.Write(at.right(), 4, Say(Tx::BreedNoChild), TitleColour, 13);
    return;
  }
  const WeightGenome& parent = sorted[static_cast<std::size_t>(rec->parent)];
  // The child as its record says it was made: the parent's weights, moved.
  const WeightBreedingRecord::Child kid = bred.record.Make(static_cast<std::size_t>(child), parent.weights);
  out.Write(at.right(), 4, text::Ui<Tx::BreedChild>(child + 1, static_cast<int>(bred.record.children.size())),
            TitleColour, 13);
  out.Write(at.right(), 20, text::Ui<Tx::BreedParent>(n - rec->parent, Two(parent.fitness)), ParentColour, 12);
  Roulette(out, at, sorted, b.total, rec->parent, rec->slice, &WeightFitness);
  const auto from = WeightColumns(parent.weights.size(), at.detailX(), Layout::parentY, Layout::detailH, at.detailW());
  const auto to = WeightColumns(kid.weights.size(), at.detailX(), Layout::childY, Layout::detailH, at.detailW());
  out.Write(at.right(), Layout::parentY, Say(Tx::BreedParentRow), ParentColour, 11);
  out.Write(at.right(), Layout::childY, Say(Tx::BreedChildRow), PanelLabelColour, 11);
  WeightBar(out, parent.weights, from);
  WeightBar(out, kid.weights, to);
  std::vector<std::string> small;
  for (const auto& c : kid.small) {
    if (c.weight >= 0 && c.weight < static_cast<int>(to.size())) {
      const IRect& r = to[static_cast<std::size_t>(c.weight)];
      out.Fill({r.x, r.y + r.h + 1, r.w, 3}, DurationChangeColour);
    }
    small.push_back(text::Ui<Tx::ItemWeight>(c.weight, Two(c.before), Two(c.after)));
  }
  int y = Layout::listY;
  List(out, at.right(), y, at.rightW(), text::Ui<Tx::BreedSmall>(static_cast<int>(small.size())), small, 4);
  if (kid.large.weight >= 0 && kid.large.weight < static_cast<int>(to.size())) {
    const IRect& r = to[static_cast<std::size_t>(kid.large.weight)];
    out.Frame({r.x - 1, r.y - 3, r.w + 2, r.h + 6}, LargeChangeColour, 2);
    out.Write(at.right(), y, text::Ui<Tx::BreedLarge>(kid.large.weight, Two(kid.large.before), Two(kid.large.after)),
              LargeChangeColour, 11);
  } else {
    out.Write(at.right(), y, Say(Tx::BreedNoLarge), PanelLabelColour, 11);
  }
}

}  // namespace

unsigned ThrustColour(int code) {
  static constexpr unsigned colours[5] = {0x7A7F96u, 0x4FA3FFu, 0xFF8A3Du, 0xC86BFFu, 0x5ED47Au};
  return code >= 0 && code < 5 ? colours[code] : 0xFF0000u;
}

int RoughTextWidth(const std::string& utf8, int px) {
  int halves = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    // Three-byte characters from U+3000 on are wide; arrows and dashes are not.
    halves += len == 3 && c >= 0xE3 ? 2 : 1;
    i += len;
  }
  return (halves * px + 1) / 2 + halves * px / 10;
}

Shapes BreedingPanel(const BreedingView& b, int child, int W, int H) {
  Shapes out;
  out.Fill({0, 0, W, H}, PanelGround);
  const Layout at{W, H};
  out.Write(at.left, 4, text::Ui<Tx::BreedTitle>(b.generation), TitleColour, 13);
  if (b.plans) Plans(out, at, b, child);
  if (b.weights) Weights(out, at, b, child);
  return out;
}

}  // namespace korvane
