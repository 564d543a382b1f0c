#pragma once

#include <QString>

#include <array>
#include <optional>

namespace zelmora {

inline constexpr int kPageCount = 6;

// The index of the selected button of Option1 .. Option6.
enum class PageKind { None = 0, Text = 1, StandardPicture = 2, WidePicture = 3 };

// The index of the selected button of Option0.
enum class BackgroundKind { Colour = 0, Picture = 1 };

// Fixed output: the alternative text a page is written with until the user
// types another.
inline const QString kDefaultAlt = QStringLiteral("ピクチャ名称");
inline const QString kColourAttribute = QStringLiteral("BgColor=");
inline const QString kPictureAttribute = QStringLiteral("BackGround=");
// The caption Label_BK has at start, with a full-width equals sign; it gives
// the same body attribute as kColourAttribute once converted to half width.
inline const QString kInitialColourAttribute = QStringLiteral("BgColor＝");

// One page of the set; each field is held by the control named beside it
// (page 1's names; page k uses Option<k>, Text<k>, Label<k>, ...).
struct Page {
    PageKind kind = PageKind::None;    // Option1
    QString text;                      // Text1, line breaks as CR LF
    QString standardFile;              // caption of Label1(0)
    QString standardAlt = kDefaultAlt; // p_Text1
    QString wideFile;                  // caption of Label1(1)
    QString wideAlt = kDefaultAlt;     // w_Text1

    bool operator==(const Page &) const = default;
};

// What the main window edits: one title, six pages, one background.
struct PageSet {
    QString title;                                          // t_Text
    std::array<Page, kPageCount> pages{};                   // tabs Page１ .. Page６
    BackgroundKind backgroundKind = BackgroundKind::Colour; // Option0
    QString backgroundAttribute = kInitialColourAttribute;  // caption of Label_BK
    QString backgroundValue;                                // Text_BK

    // Page k, counted from 1 as the window counts them.
    Page &page(int k) { return pages.at(k - 1); }
    const Page &page(int k) const { return pages.at(k - 1); }

    bool operator==(const PageSet &) const = default;
};

// The set is pages 1 to n, where page n + 1 is the first page of kind none;
// 0 when page 1 is none.
int pageCount(const PageSet &set);

// Page k is a linked page (it has a "next" button) when a page follows it.
bool isLinkedPage(const PageSet &set, int k);

// The background kind rule of Option0: the attribute name follows the kind
// and the value is emptied, whichever option was clicked before.
void selectBackgroundKind(PageSet &set, BackgroundKind kind);

// resetEditor on the record: every field back to its initial value except
// the title, with the background kind selected as a click would (so the
// attribute name reads "BgColor=").
void resetPageSet(PageSet &set);

// The window-level values of the main window. They survive from one command
// to the next on purpose: a smaller set leaves the later descriptions alone.
struct EditorState {
    QString extension; // extension of the last creation
    QString lastTitle; // title of the last creation or preview
    // The contents description of each page written, pages 1 to 6.
    std::array<QString, kPageCount> pageContents;
    QString readExtension; // extension of the set last picked for reading
    // The file stem and extension of the set the editor holds from 開く, if
    // any: creating it again updates it without asking.
    QString reopenedSet;

    // Page k's contents description, k from 1 to 6.
    QString &contents(int k) { return pageContents.at(std::size_t(k - 1)); }
    const QString &contents(int k) const { return pageContents.at(std::size_t(k - 1)); }

    bool operator==(const EditorState &) const = default;
};

// "Text", or "IMG　　file　　alt　　115*150" / "...115*250" for pictures.
QString contentsDescription(const Page &page);

// The first path separator or NUL in a name: a file name holding one would
// lie outside the output folder.
std::optional<QChar> separatorInName(const QString &name);

// A character that ends or splits a line of a page: the C0 and C1 controls
// (tab and line breaks among them) and the Unicode line and paragraph
// separators.
bool isLineControl(QChar c);
// text as a message shows it, each such character by its code ("[U+000A]").
QString withControlCodes(const QString &text);

// A title is the stem of every file name and goes unescaped into the pages'
// links and the data page's script. Refused, as the first such character:
// a path separator or a NUL (the files would lie outside the output folder),
// an apostrophe or a double quote (they end the script's string and the
// attribute around it), and control characters, tabs and line breaks among
// them (they split a page's lines).
std::optional<QChar> forbiddenTitleCharacter(const QString &title);

// The message for a refused title, naming the character and why.
QString forbiddenTitleMessage(QChar c);

// What typing and picking guarantee of a set, checked again before its pages
// are written, since a restored draft or a reopened set from elsewhere may
// hold anything: the title (forbiddenTitleCharacter), picture names that name
// a file in the output folder (no separator, not "." or ".."), and names,
// alternative texts and the background without control characters. The
// message for the first fault, or nullopt.
std::optional<QString> setContentFault(const PageSet &set);

} // namespace zelmora
