// Korvane: the desktop program.
#include <QApplication>
#include <QTimer>

#include "app/korvane_view.h"
#include "app/main_frame.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvane"));
  korvane::CMainFrame frame;
  frame.show();
  // The introduction comes once the window is up.
  QTimer::singleShot(0, frame.View(), [&frame] { frame.View()->InitialUpdate(); });
  return app.exec();
}
