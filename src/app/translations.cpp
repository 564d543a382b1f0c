#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace zelmora {

bool isJapanese(const QLocale &locale)
{
    const QStringList languages = locale.uiLanguages();
    return !languages.isEmpty() && QLocale(languages.first()).language() == QLocale::Japanese;
}

bool installQtTranslations(QCoreApplication &app, const QLocale &locale)
{
    if (!isJapanese(locale))
        return false;
    // qtbase alone: the program shows none of the other modules' texts, and
    // the "qt_ja" catalogue would load them all.
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace zelmora
