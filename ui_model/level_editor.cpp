#include "ui_model/level_editor.h"

#include <algorithm>
#include <cmath>

namespace korvane {

double EditorPlayfieldX(int windowX, double centreX) { return windowX + centreX - ViewWidth / 2; }

double EditorDragRadius(int pressX, int pressY, int x, int y) {
  // Squares of whole numbers in doubles: exact for any pointer on a screen,
  // and no overflow for one far outside.
  const double dx = static_cast<double>(pressX) - x;
  const double dy = static_cast<double>(pressY) - y;
  return std::sqrt(dy * dy + dx * dx);
}

double EditorScroll(int windowX, double centreX) {
  if (windowX > ViewWidth - EditorEdgeZone)
    centreX += EditorScrollStep;
  else if (windowX < EditorEdgeZone)
    centreX -= EditorScrollStep;
  else
    return centreX;
  return std::clamp(centreX, EditorMinCentre, EditorMaxCentre);
}

void CLevelEditor::Start(MeteorField& field, double& centreX) {
  m_undo.assign(1, field);  // the level before editing comes back with Ctrl+Z
  field.count = 0;
  m_editMode = 1;
  // A drag left over from before must not resize a meteor of the new field.
  m_dragging = 0;
  centreX = EditorMinCentre;
}

void CLevelEditor::Stop() {
  m_editMode = 0;
  m_dragging = 0;
}

CLevelEditor::PressResult CLevelEditor::Press(MeteorField& field, int x, int y, double centreX) {
  if (!m_editMode) return PressResult::Ignored;
  const MeteorField before = field;
  if (!field.Add(Obstacle{EditorPlayfieldX(x, centreX), static_cast<double>(y), 0.0})) {
    m_dragging = 0;
    return PressResult::FieldFull;
  }
  m_undo.push_back(before);
  m_dragging = 1;
  m_pressY = y;
  m_pressX = x;
  return PressResult::Added;
}

CLevelEditor::MoveResult CLevelEditor::Move(MeteorField& field, int x, int y, double& centreX) {
  MoveResult r;
  if (!m_editMode) return r;
  if (m_dragging && field.count >= 1 && field.count <= MaxObstacles) {
    field.obstacles[static_cast<std::size_t>(field.count - 1)].radius = EditorDragRadius(m_pressX, m_pressY, x, y);
    r.radiusChanged = true;
  }
  centreX = EditorScroll(x, centreX);
  r.repaint = true;
  return r;
}

bool CLevelEditor::Release(MeteorField& field, int x, int y) {
  // Only a release that ends a drag sizes a meteor: a stray release must not
  // resize one the user never touched.
  if (!m_editMode || !m_dragging || field.count < 1 || field.count > MaxObstacles) return false;
  m_dragging = 0;
  field.obstacles[static_cast<std::size_t>(field.count - 1)].radius = EditorDragRadius(m_pressX, m_pressY, x, y);
  return true;
}

bool CLevelEditor::Delete(MeteorField& field, int x, int y, double centreX) {
  if (!m_editMode || m_dragging) return false;
  const double px = EditorPlayfieldX(x, centreX);
  const int n = std::clamp(field.count, 0, MaxObstacles);
  for (int i = n - 1; i >= 0; --i) {
    const Obstacle& o = field.obstacles[static_cast<std::size_t>(i)];
    const double dx = px - o.x;
    const double dy = y - o.y;
    if (dx * dx + dy * dy > o.radius * o.radius) continue;
    m_undo.push_back(field);
    std::copy(field.obstacles.begin() + i + 1, field.obstacles.begin() + n, field.obstacles.begin() + i);
    field.count = n - 1;
    return true;
  }
  return false;
}

bool CLevelEditor::Undo(MeteorField& field) {
  if (!m_editMode || m_dragging || m_undo.empty()) return false;
  field = m_undo.back();
  m_undo.pop_back();
  return true;
}

}  // namespace korvane
