// Qt's own dialogs speak the user's language: Japanese under a Japanese
// locale, Qt's English otherwise.

#include "app/translations.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace zelmora;

TEST(QtTranslations, japaneseOnlyForAJapaneseLocale)
{
    EXPECT_FALSE(installQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::English)));
    EXPECT_EQ(QColorDialog().windowTitle(), QStringLiteral("Select Color"));
    EXPECT_FALSE(installQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::German)));

    ASSERT_TRUE(installQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::Japanese)));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    EXPECT_EQ(QColorDialog().windowTitle(), QStringLiteral("色を選択"));
    for (auto *translator : QCoreApplication::instance()->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}
