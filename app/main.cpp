// Korvane: the desktop program.
#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <csignal>

#include "app/korvane_view.h"
#include "app/main_frame.h"

int main(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);  // a file-size limit fails the write (rolled back, reported) instead of killing us
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvane"));
  // Qt's own dialogs (file chooser, buttons) in Chinese like the rest.
  QTranslator qtTexts;
  if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);
  korvane::CMainFrame frame;
  frame.show();
  // The introduction comes once the window is up.
  QTimer::singleShot(0, frame.View(), [&frame] { frame.View()->InitialUpdate(); });
  return app.exec();
}
