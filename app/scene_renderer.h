#pragma once
#include <QFont>
#include <QImage>
#include <array>

#include "sim/params.h"
#include "ui_model/scene_geometry.h"
#include "ui_model/scene_input.h"
#include "ui_model/scene_paint.h"

class QPainter;

namespace korvane {

// Composes frames: nebula, stars, meteors, perception marks, lifeboat with
// flame and indicator, then the score panel or chart. Lives on the UI thread.
// Composing changes nothing of what is drawn; its own star field, drawn from
// its own generator, moves from frame to frame.
class SceneRenderer {
 public:
  explicit SceneRenderer(std::uint32_t starSeed);

  // Draws one frame into scene, which must be ViewWidth × ViewHeight.
  void Compose(QImage& scene, const SceneInput& in);

  // How often the meteor layer was rebuilt (it is rebuilt only when the
  // field differs from the one it was drawn for).
  int MeteorLayerBuilds() const { return m_layerBuilds; }

  // The face used for the score texts: a Song face when there is one.
  static QFont PanelFont();

  // The pictures, with their white ground already transparent.
  static QImage LoadPicture(const char* resource);

 private:
  void DrawStars(QImage& scene);
  void DrawMeteorLayer(QPainter& p, const SceneInput& in, int c);
  void DrawPaths(QImage& scene, const PopulationPaths& paths, int c);
  void DrawLifeboat(QPainter& p, const SceneInput& in);
  void DrawPanel(QPainter& p, const SceneInput& in);
  void RebuildMeteorLayer(const MeteorField& field);

  QFont m_font;
  QImage m_background;
  QImage m_meteor;
  QImage m_lifeboat;
  QImage m_meteorLayer;
  MeteorField m_layerField;
  bool m_haveLayer = false;
  int m_layerBuilds = 0;
  StarField m_stars;
};

// The field a meteor layer was drawn for, compared by what is drawn.
bool SameMeteors(const MeteorField& a, const MeteorField& b);

}  // namespace korvane
