// Korvane: the desktop program.
#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <string_view>

#include "app/korvane_view.h"
#include "app/main_frame.h"
#include "app/ui_language.h"
#include "texts/version_texts.h"

int main(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);  // a file-size limit fails the write (rolled back, reported) instead of killing us
  // Answered before Qt starts, so that they need no display.
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version" || arg == "--help" || arg == "-h") {
      const std::string out = arg == "--version" ? korvane::text::VersionText("korvane")
                                                 : std::string(korvane::text::En(korvane::Tx::GuiHelp));
      return std::fputs(out.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Korvane"));
  QApplication::setApplicationVersion(QString::fromLatin1(korvane::kVersion));
  // Ties the window to its desktop entry (and so to its icon) on Wayland.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
  QApplication::setOrganizationName(QStringLiteral("Korvane"));
  // Before any text is made: the window, its panels and their numbers.
  korvane::UseLanguage(korvane::ChosenLanguage());
  korvane::CMainFrame frame;
  // How runs are shown is kept between starts (the simulation settings are not).
  frame.UsePreferences(new QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane")));
  frame.show();
  // The introduction comes once the window is up.
  QTimer::singleShot(0, frame.View(), [&frame] { frame.View()->InitialUpdate(); });
  return app.exec();
}
