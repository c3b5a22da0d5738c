#pragma once
#include <QStringList>

#include "texts/text_table.h"

class QMenu;

namespace korvane {

class CKorvaneView;

// The interface's language: the one chosen from the menu for this start, else
// the first English or Chinese of the system's languages, else Chinese.
text::Lang ChosenLanguage();
text::Lang LanguageOf(const QStringList& uiLanguages);

// Speaks lang from here on: the window's texts (English from the translation
// built into the program) and Qt's own dialogs. Call once, before the window.
void UseLanguage(text::Lang lang);

// The English of every text, as the built-in translation gives it (a text it
// lacks keeps the table's).
std::vector<std::string> TranslatedEnglish();

// The language entries at the end of menu: the choice is kept for the next
// start, which a box says.
void AddLanguageMenu(QMenu* menu, CKorvaneView* view);

}  // namespace korvane
