#pragma once
#include <vector>

#include "sim/meteor_field.h"
#include "sim/params.h"
#include "ui_model/view_size.h"

namespace korvane {

inline constexpr int EditorEdgeZone = 15;
inline constexpr int EditorScrollStep = 30;
// The camera centre (the lifeboat's x while editing) stays where the window
// shows playfield x 0..900 at the left end and 900..1800 at the right.
inline constexpr double EditorMinCentre = ViewWidth / 2;
inline constexpr double EditorMaxCentre = PlayfieldWidth - ViewWidth / 2;

// Window x to playfield x with the window centred on centreX.
double EditorPlayfieldX(int windowX, double centreX);
// Distance between two window points, squares taken on integers.
double EditorDragRadius(int pressX, int pressY, int x, int y);
// The camera centre after the pointer moved to window x.
double EditorScroll(int windowX, double centreX);

// The level editor's state and mouse handling; the view forwards its mouse
// events and redraws as told.
class CLevelEditor {
 public:
  enum class PressResult { Ignored, Added, FieldFull };

  struct MoveResult {
    bool radiusChanged = false;  // rebuild the meteor layer
    bool repaint = false;        // repaint the whole view
  };

  // Empties the field and shows its left end.
  void Start(MeteorField& field, double& centreX);
  // Edit mode ends with manual flight or a started run.
  void Stop();

  PressResult Press(MeteorField& field, int x, int y, double centreX);
  MoveResult Move(MeteorField& field, int x, int y, double& centreX);
  // True when a meteor's radius was set (rebuild and repaint).
  bool Release(MeteorField& field, int x, int y);
  // A right click removes the meteor under the pointer, the one drawn last
  // where several overlap; false when there is none.
  bool Delete(MeteorField& field, int x, int y, double centreX);
  // Takes back the last placing, removal or emptying; false when there is
  // nothing left to take back.
  bool Undo(MeteorField& field);

  bool Editing() const { return m_editMode != 0; }
  bool Dragging() const { return m_dragging != 0; }

 private:
  int m_editMode = 0;
  int m_dragging = 0;
  int m_pressX = 0;
  int m_pressY = 0;
  std::vector<MeteorField> m_undo;  // the field before each change, latest last
};

}  // namespace korvane
