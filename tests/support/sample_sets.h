#pragma once

// The page sets the tests, the benchmarks and the tools work with, so that
// each is written once.

#include "core/model/page_set.h"

namespace zelmora::test {

// The editor a user has been working on: a text with markup, both picture
// kinds and a picture background, none of it created yet.
inline PageSet sampleSet(const QString &title)
{
    PageSet set;
    set.title = title;
    set.page(1).kind = PageKind::Text;
    set.page(1).text = QStringLiteral("まだ作成していない\r\n<b>文章</b>");
    set.page(2).kind = PageKind::StandardPicture;
    set.page(2).standardFile = QStringLiteral("a.gif");
    set.page(2).standardAlt = QStringLiteral("猫");
    set.page(3).kind = PageKind::WidePicture;
    set.page(3).wideFile = QStringLiteral("wide.jpg");
    set.page(3).wideAlt = QStringLiteral("海");
    selectBackgroundKind(set, BackgroundKind::Picture);
    set.backgroundValue = QStringLiteral("back.gif");
    return set;
}

// A full six-page set as a user would make it: Japanese text with line
// breaks, both picture kinds and a background colour.
inline PageSet sixPageSet(const QString &title)
{
    PageSet set;
    set.title = title;
    set.backgroundKind = BackgroundKind::Colour;
    set.backgroundAttribute = kColourAttribute;
    set.backgroundValue = QStringLiteral("#ffcc00");
    const QString texts[] = {
        QStringLiteral("ようこそ、ポップリーフへ。\r\n次へを押してください。"),
        QStringLiteral("二ページ目です。\r\n全角ＡＢＣと半角ｶﾀｶﾅ、記号～も入ります。"),
        QStringLiteral("三ページ目：お知らせ\r\n営業時間は 10:00～18:00 です。"),
        QString(),
        QString(),
        QStringLiteral("最後のページです。\r\nご覧いただきありがとうございました。"),
    };
    for (int k = 1; k <= kPageCount; ++k) {
        Page &page = set.page(k);
        page.kind = PageKind::Text;
        page.text = texts[k - 1];
    }
    set.page(4).kind = PageKind::StandardPicture;
    set.page(4).standardFile = QStringLiteral("photo.png");
    set.page(4).standardAlt = QStringLiteral("店の写真");
    set.page(5).kind = PageKind::WidePicture;
    set.page(5).wideFile = QStringLiteral("map.png");
    set.page(5).wideAlt = QStringLiteral("地図");
    return set;
}

} // namespace zelmora::test
