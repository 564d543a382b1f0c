#pragma once

#include "core/model/page_set.h"
#include "core/generate/popup_page.h"
#include "support/file_compare.h"

#include <QFile>

#include <gtest/gtest.h>

#include <ostream>

namespace zelmora {

inline void PrintTo(const Page &page, std::ostream *os)
{
    *os << "{kind " << int(page.kind) << ", text \"" << page.text.toStdString() << "\", std \""
        << page.standardFile.toStdString() << "\"/\"" << page.standardAlt.toStdString()
        << "\", wide \"" << page.wideFile.toStdString() << "\"/\"" << page.wideAlt.toStdString()
        << "\"}";
}

inline void PrintTo(const PageSet &set, std::ostream *os)
{
    *os << "title \"" << set.title.toStdString() << "\", background " << int(set.backgroundKind)
        << " \"" << set.backgroundAttribute.toStdString() << "\" \""
        << set.backgroundValue.toStdString() << "\"";
    for (const Page &page : set.pages) {
        *os << "\n  ";
        PrintTo(page, os);
    }
}

namespace test {

// Writes pages 1 to n of the set the way the create command does: one body
// attribute for the set, the texts with "<BR>", each page linked when a page
// follows it. outFolder ends with "/".
inline void writeSetAsCreated(const QString &outFolder, const PageSet &set, const QString &ext,
                              const PopupSettings &settings = {})
{
    const QString body = bodyAttribute(set.backgroundAttribute, set.backgroundValue);
    for (int k = 1; k <= pageCount(set); ++k) {
        const Page &page = set.page(k);
        PopupPage p;
        p.title = set.title;
        p.k = k;
        p.ext = ext;
        p.linked = isLinkedPage(set, k);
        p.settings = settings;
        p.body = body;
        p.kind = page.kind;
        p.text = replaceLineBreaks(page.text);
        p.file = pictureFile(page);
        p.alt = pictureAlt(page);
        const auto error = writePopupPage(outFolder, p);
        ASSERT_FALSE(error.has_value()) << error->writeMessage().toStdString();
    }
}

// The reset editor holding only the title, as the set picker leaves it
// before reading.
inline PageSet resetSet(const QString &title)
{
    PageSet set;
    set.title = title;
    resetPageSet(set);
    return set;
}

} // namespace test
} // namespace zelmora
