#include "app/ui_language.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QSettings>
#include <QTranslator>

#include "app/korvane_view.h"
#include "app/qt_text.h"

namespace korvane {
namespace {

constexpr char kContext[] = "korvane";  // the translation's one context
const QString kKey = QStringLiteral("language");

QString Code(text::Lang lang) { return lang == text::Lang::En ? QStringLiteral("en") : QStringLiteral("zh"); }

QTranslator& Window() {
  static QTranslator t;
  return t;
}

}  // namespace

text::Lang LanguageOf(const QStringList& uiLanguages) {
  for (const QString& l : uiLanguages) {
    if (l.startsWith(QLatin1String("en"))) return text::Lang::En;
    if (l.startsWith(QLatin1String("zh"))) return text::Lang::Zh;
  }
  return text::Lang::Zh;
}

text::Lang ChosenLanguage() {
  const QString kept = QSettings().value(kKey).toString();
  if (kept == Code(text::Lang::En)) return text::Lang::En;
  if (kept == Code(text::Lang::Zh)) return text::Lang::Zh;
  return LanguageOf(QLocale::system().uiLanguages());
}

std::vector<std::string> TranslatedEnglish() {
  if (Window().isEmpty()) (void)Window().load(QStringLiteral(":/i18n/korvane_en.qm"));
  std::vector<std::string> out;
  for (const text::Entry& e : text::Table()) {
    const std::string zh(e.zh), id(e.id);
    const QString t = e.cliOnly ? QString() : Window().translate(kContext, zh.c_str(), id.c_str());
    out.push_back(t.isEmpty() ? std::string(e.en) : t.toStdString());
  }
  return out;
}

void UseLanguage(text::Lang lang) {
  if (lang == text::Lang::En) text::SetEnglish(TranslatedEnglish());
  text::SetUiLanguage(lang);
  // Qt's own dialogs (file chooser, buttons) in the same language.
  static QTranslator qt;
  if (qt.load(lang == text::Lang::En ? QStringLiteral("qtbase_en") : QStringLiteral("qtbase_zh_CN"),
              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&qt);
}

void AddLanguageMenu(QMenu* menu, CKorvaneView* view) {
  menu->addSeparator();
  QMenu* sub = menu->addMenu(U(Tx::MenuLanguage));
  auto* group = new QActionGroup(sub);
  for (const auto& [lang, label] :
       {std::pair{text::Lang::Zh, Tx::LanguageChinese}, std::pair{text::Lang::En, Tx::LanguageEnglish}}) {
    QAction* a = sub->addAction(U(label));
    a->setCheckable(true);
    a->setChecked(lang == text::UiLanguage());
    group->addAction(a);
    QObject::connect(a, &QAction::triggered, view, [view, lang = lang] {
      QSettings().setValue(kKey, Code(lang));
      view->ShowMessage(Tx::LanguageNextStart);
    });
  }
}

}  // namespace korvane
