#include "editor/page_set.h"

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
    const QString attribute = set.backgroundAttribute;
    set = PageSet{};
    set.title = title;
    set.backgroundAttribute = attribute;
    selectBackgroundKind(set, BackgroundKind::Colour);
}

QString &EditorState::contents(int k)
{
    return const_cast<QString &>(std::as_const(*this).contents(k));
}

const QString &EditorState::contents(int k) const
{
    switch (k) {
    case 1: return StrContents1_S;
    case 2: return StrContents2_S;
    case 3: return StrContents3_S;
    case 4: return StrContents4_S;
    case 5: return StrContents5_S;
    case 6: return StrContents6_S;
    }
    throw std::out_of_range("page number out of range");
}

QString contentsDescription(const Page &page)
{
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

std::optional<QChar> forbiddenTitleCharacter(const QString &title)
{
    for (QChar c : title) {
        if (c == u'/' || c == u'\\' || c == QChar(0))
            return c;
    }
    return std::nullopt;
}

QString forbiddenTitleMessage(QChar c)
{
    const QString name = c == QChar(0) ? QStringLiteral("NUL 文字")
                                       : QStringLiteral("「%1」").arg(c);
    return QStringLiteral("タイトル名に %1 は使えません。\nタイトル名はファイル名になるため、"
                          "フォルダの区切り文字と NUL 文字を含めることはできません。")
        .arg(name);
}

} // namespace zelmora
