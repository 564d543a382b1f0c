#pragma once

#include <QLocale>

class QCoreApplication;

namespace zelmora {

// Whether the user's language is Japanese (the first of the locale's
// interface languages, so LANGUAGE=ja counts as well as LANG=ja_JP.UTF-8).
bool isJapanese(const QLocale &locale);

// Qt's own texts (the standard buttons of a message box, the colour dialog,
// the command-line help) in Japanese when the user's language is Japanese;
// in any other language they stay Qt's English, as the program's own texts
// are Japanese whatever the locale. Returns whether a translation was loaded.
bool installQtTranslations(QCoreApplication &app, const QLocale &locale = QLocale::system());

} // namespace zelmora
