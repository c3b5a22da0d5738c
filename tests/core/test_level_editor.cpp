#include <gtest/gtest.h>

#include <tuple>

#include "ui_model/level_editor.h"

namespace korvane {
namespace {

struct EditorFixture : testing::Test {
  MeteorField field = BuiltInLevel(1);
  double centre = 20.0;  // the lifeboat's x before editing
  CLevelEditor editor;
};

TEST_F(EditorFixture, StartEmptiesTheFieldAndShowsItsLeftEnd) {
  EXPECT_EQ(editor.Press(field, 10, 10, centre), CLevelEditor::PressResult::Ignored);
  EXPECT_EQ(field.count, 9);
  EXPECT_FALSE(editor.Move(field, 899, 10, centre).repaint);
  EXPECT_EQ(centre, 20.0);

  editor.Start(field, centre);
  EXPECT_TRUE(editor.Editing());
  EXPECT_EQ(field.count, 0);
  EXPECT_EQ(centre, 450.0);
}

TEST_F(EditorFixture, PressPlacesThroughTheCameraCentre) {
  editor.Start(field, centre);
  ASSERT_EQ(editor.Press(field, 100, 50, centre), CLevelEditor::PressResult::Added);
  EXPECT_EQ(field.count, 1);
  EXPECT_EQ(field.obstacles[0].x, 100.0);
  EXPECT_EQ(field.obstacles[0].y, 50.0);
  EXPECT_EQ(field.obstacles[0].radius, 0.0);  // a click alone: radius 0
  editor.Release(field, 100, 50);
  EXPECT_EQ(field.obstacles[0].radius, 0.0);

  for (int i = 0; i < 3; ++i) editor.Move(field, 890, 300, centre);
  EXPECT_EQ(centre, 540.0);
  editor.Press(field, 100, 50, centre);
  EXPECT_EQ(field.obstacles[1].x, 190.0);
  EXPECT_EQ(EditorPlayfieldX(0, 1350.0), 900.0);
  EXPECT_EQ(EditorPlayfieldX(899, 1350.0), 1799.0);
}

TEST_F(EditorFixture, EdgeZonesScrollByThirtyWithinLimits) {
  // 886 and 14 are the first pixels inside the zones; 885 and 15 are not.
  EXPECT_EQ(EditorScroll(885, 600), 600);
  EXPECT_EQ(EditorScroll(886, 600), 630);
  EXPECT_EQ(EditorScroll(15, 600), 600);
  EXPECT_EQ(EditorScroll(14, 600), 570);
  EXPECT_EQ(EditorScroll(-20, 600), 570);
  EXPECT_EQ(EditorScroll(5000, 600), 630);
  EXPECT_EQ(EditorScroll(0, 460), 450);
  EXPECT_EQ(EditorScroll(899, 1340), 1350);

  editor.Start(field, centre);
  for (int i = 0; i < 100; ++i) editor.Move(field, 899, 200, centre);
  EXPECT_EQ(centre, 1350.0);
  for (int i = 0; i < 100; ++i) editor.Move(field, 0, 200, centre);
  EXPECT_EQ(centre, 450.0);
  // Every move in edit mode repaints, scrolled or not.
  EXPECT_TRUE(editor.Move(field, 400, 200, centre).repaint);
}

TEST_F(EditorFixture, DragRadiusIsInWindowCoordinates) {
  EXPECT_EQ(EditorDragRadius(100, 100, 103, 104), 5.0);
  EXPECT_EQ(EditorDragRadius(0, 0, 0, 0), 0.0);
  // Far-off pointer positions must not overflow the integer squares.
  EXPECT_DOUBLE_EQ(EditorDragRadius(-2000000000, 0, 2000000000, 0), 4e9);

  editor.Start(field, centre);
  editor.Press(field, 880, 200, centre);
  auto moved = editor.Move(field, 889, 212, centre);  // into the right edge zone
  EXPECT_TRUE(moved.radiusChanged);
  EXPECT_EQ(field.obstacles[0].radius, 15.0);
  EXPECT_EQ(centre, 480.0);
  EXPECT_EQ(field.obstacles[0].x, 880.0);  // scrolling does not move the meteor
  editor.Move(field, 889, 212, centre);
  EXPECT_EQ(field.obstacles[0].radius, 15.0);  // nor change the radius
  EXPECT_TRUE(editor.Release(field, 886, 200));
  EXPECT_EQ(field.obstacles[0].radius, 6.0);
  EXPECT_FALSE(editor.Dragging());
  EXPECT_FALSE(editor.Move(field, 500, 300, centre).radiusChanged);
}

TEST_F(EditorFixture, ReleaseWithoutADragChangesNothing) {
  editor.Start(field, centre);
  EXPECT_FALSE(editor.Release(field, 10, 10));  // empty field
  WriteBuiltInLevel(field, 2);                  // a level loaded while editing
  EXPECT_FALSE(editor.Release(field, 300, 300));
  EXPECT_EQ(field.obstacles[6].radius, 45.0);
  // New presses go after the loaded level's meteors.
  editor.Press(field, 10, 10, centre);
  EXPECT_EQ(field.count, 8);
}

TEST_F(EditorFixture, FullFieldRefusesAPressAndKeepsItsMeteors) {
  editor.Start(field, centre);
  for (int i = 0; i < MaxObstacles; ++i) {
    ASSERT_EQ(editor.Press(field, 20 + i * 40, 100, centre), CLevelEditor::PressResult::Added);
    editor.Release(field, 30 + i * 40, 100);
  }
  const Obstacle last = field.obstacles[MaxObstacles - 1];
  EXPECT_EQ(editor.Press(field, 5, 5, centre), CLevelEditor::PressResult::FieldFull);
  EXPECT_EQ(field.count, MaxObstacles);
  // The drag that follows a refused press resizes nothing.
  EXPECT_FALSE(editor.Move(field, 400, 300, centre).radiusChanged);
  EXPECT_FALSE(editor.Release(field, 400, 300));
  EXPECT_EQ(field.obstacles[MaxObstacles - 1].radius, last.radius);
}

TEST_F(EditorFixture, RestartEndsAnOpenDragAndStopLeavesEditMode) {
  editor.Start(field, centre);
  editor.Press(field, 100, 100, centre);
  editor.Start(field, centre);  // field empty again while the button is down
  EXPECT_FALSE(editor.Move(field, 300, 300, centre).radiusChanged);
  EXPECT_EQ(field.count, 0);

  editor.Stop();
  EXPECT_FALSE(editor.Editing());
  EXPECT_EQ(editor.Press(field, 100, 100, centre), CLevelEditor::PressResult::Ignored);
  EXPECT_EQ(field.count, 0);
}

// A right click removes the meteor under the pointer (the last drawn where
// they overlap); Ctrl+Z takes back placings, removals and the emptying.
TEST_F(EditorFixture, RightClickRemovesAndUndoTakesBack) {
  const MeteorField level = field;
  editor.Start(field, centre);
  for (const auto& [x, y, r] : {std::tuple{100, 100, 40}, std::tuple{130, 100, 40}, std::tuple{600, 300, 10}}) {
    editor.Press(field, x, y, centre);
    editor.Release(field, x + r, y);
  }
  ASSERT_EQ(field.count, 3);
  EXPECT_FALSE(editor.Delete(field, 400, 50, centre));  // nothing there
  EXPECT_TRUE(editor.Delete(field, 115, 100, centre));  // both cover it: the later goes
  ASSERT_EQ(field.count, 2);
  EXPECT_EQ(field.obstacles[0].x, 100.0);
  EXPECT_EQ(field.obstacles[1].x, 600.0);  // the rest moves up
  EXPECT_TRUE(editor.Undo(field));
  ASSERT_EQ(field.count, 3);
  EXPECT_EQ(field.obstacles[1].x, 130.0);
  for (int left = 3; left > 0; --left) {
    EXPECT_TRUE(editor.Undo(field));
    EXPECT_EQ(field.count, left - 1);
  }
  EXPECT_TRUE(editor.Undo(field));  // the level before editing
  EXPECT_EQ(field.count, level.count);
  EXPECT_EQ(field.obstacles[0].x, level.obstacles[0].x);
  EXPECT_FALSE(editor.Undo(field));
  editor.Stop();
  EXPECT_FALSE(editor.Delete(field, 300, 350, centre));  // only while editing
}

}  // namespace
}  // namespace korvane
