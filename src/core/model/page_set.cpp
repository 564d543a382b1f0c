#include "core/model/page_set.h"

#include "core/model/texts.h"

#include <algorithm>
#include <stdexcept>

namespace zelmora {

int pageCount(const PageSet &set)
{
    int n = 0;
    while (n < kPageCount && set.pages[n].kind != PageKind::None)
        ++n;
    return n;
}

bool isLinkedPage(const PageSet &set, int k)
{
    return k < kPageCount && set.page(k + 1).kind != PageKind::None;
}

void selectBackgroundKind(PageSet &set, BackgroundKind kind)
{
    set.backgroundKind = kind;
    set.backgroundAttribute = kind == BackgroundKind::Colour ? kColourAttribute : kPictureAttribute;
    set.backgroundValue.clear();
}

void resetPageSet(PageSet &set)
{
    const QString title = set.title;
    set = PageSet{};
    set.title = title;
    selectBackgroundKind(set, BackgroundKind::Colour);
}

QString contentsDescription(const Page &page)
{
    // Fixed output: the description is written into the data page.
    const QString gap = QStringLiteral("　　");
    switch (page.kind) {
    case PageKind::Text:
        return QStringLiteral("Text");
    case PageKind::StandardPicture:
        return QStringLiteral("IMG") + gap + page.standardFile + gap + page.standardAlt + gap
            + QStringLiteral("115*150");
    case PageKind::WidePicture:
        return QStringLiteral("IMG") + gap + page.wideFile + gap + page.wideAlt + gap
            + QStringLiteral("115*250");
    case PageKind::None:
        return {};
    }
    Q_ASSERT(false); // a page kind is missing above
    return {};
}

std::optional<QChar> separatorInName(const QString &name)
{
    for (QChar c : name) {
        if (c == u'/' || c == u'\\' || c == QChar(0))
            return c;
    }
    return std::nullopt;
}

namespace {

bool isQuote(QChar c)
{
    return c == u'\'' || c == u'"';
}

} // namespace

bool isLineControl(QChar c)
{
    const auto category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line
        || category == QChar::Separator_Paragraph;
}

QString withControlCodes(const QString &text)
{
    QString shown;
    for (QChar c : text) {
        if (isLineControl(c))
            shown += QStringLiteral("[U+%1]").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
        else
            shown += c;
    }
    return shown;
}

std::optional<QChar> forbiddenTitleCharacter(const QString &title)
{
    for (QChar c : title) {
        if (c == u'/' || c == u'\\' || c == QChar(0) || isQuote(c) || isLineControl(c))
            return c;
    }
    return std::nullopt;
}

std::optional<QString> setContentFault(const PageSet &set)
{
    if (const auto c = forbiddenTitleCharacter(set.title))
        return forbiddenTitleMessage(*c);
    const auto control = [](const QString &s) {
        return std::find_if(s.begin(), s.end(), isLineControl) != s.end();
    };
    const auto outsideName = [](const QString &name) {
        return separatorInName(name) || name == u"." || name == u"..";
    };
    // The value as the message shows it: its first 80 characters.
    const auto shown = [](const QString &value) { return withControlCodes(value.left(80)); };
    if (set.backgroundKind == BackgroundKind::Picture && outsideName(set.backgroundValue))
        return Texts::tr(
                   "背景の画像「%1」は Popleaf の中のファイルを指していないため、書き出せません。"
                   "画像は Popleaf から選んでください。")
            .arg(shown(set.backgroundValue));
    if (control(set.backgroundValue))
        return Texts::tr("背景の指定「%1」に改行やタブなどの制御文字があり、ページの行がそこで"
                         "分かれてしまうため、書き出せません。")
            .arg(shown(set.backgroundValue));
    for (int k = 1; k <= kPageCount; ++k) {
        const Page &page = set.page(k);
        if (page.kind != PageKind::StandardPicture && page.kind != PageKind::WidePicture)
            continue;
        const bool wide = page.kind == PageKind::WidePicture;
        const QString &file = wide ? page.wideFile : page.standardFile;
        const QString &alt = wide ? page.wideAlt : page.standardAlt;
        const QString number = QString::number(k);
        if (outsideName(file))
            return Texts::tr("ページ %1 の画像「%2」は Popleaf の中のファイルを指していないため、"
                             "書き出せません。画像は Popleaf から選んでください。")
                .arg(number, shown(file));
        if (control(file))
            return Texts::tr("ページ %1 の画像の名前「%2」に改行やタブなどの制御文字があり、"
                             "ページの行がそこで分かれてしまうため、書き出せません。")
                .arg(number, shown(file));
        if (control(alt))
            return Texts::tr("ページ %1 の代替テキスト「%2」に改行やタブなどの制御文字があり、"
                             "ページの行がそこで分かれてしまうため、書き出せません。")
                .arg(number, shown(alt));
    }
    return std::nullopt;
}

QString forbiddenTitleMessage(QChar c)
{
    const QString code = QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
    if (c != QChar(0) && isLineControl(c)) {
        const QString name = c == u'\t' ? Texts::tr("タブ")
            : c == u'\n' || c == u'\r' || c.category() != QChar::Other_Control
            ? Texts::tr("改行")
            : Texts::tr("制御文字");
        return Texts::tr("タイトル名に %1 (%2) は使えません。\nタイトル名はページの行に"
                         "そのまま書かれるため、改行やタブなどの制御文字を含めることはできません。")
            .arg(name, code);
    }
    if (isQuote(c)) {
        return Texts::tr(
                   "タイトル名に 「%1」 は使えません。\nタイトル名はページのリンクと"
                   "スクリプトにそのまま書かれるため、引用符 ' と \" を含めることはできません。")
            .arg(c);
    }
    if (c == QChar(0))
        return Texts::tr("タイトル名に NUL 文字 は使えません。\nタイトル名はファイル名になるため、"
                         "フォルダの区切り文字と NUL 文字を含めることはできません。");
    return Texts::tr("タイトル名に 「%1」 は使えません。\nタイトル名はファイル名になるため、"
                     "フォルダの区切り文字と NUL 文字を含めることはできません。")
        .arg(c);
}

} // namespace zelmora
