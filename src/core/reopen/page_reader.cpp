#include "core/reopen/page_reader.h"

#include "core/generate/html5_page.h"
#include "core/generate/popup_page.h"
#include "core/files/page_lines.h"
#include "core/model/texts.h"
#include "core/text/markup_escape.h"
#include "core/text/page_encoding.h"

#include <QFile>
#include <QUrl>

#include <optional>

namespace zelmora {
namespace {

// The reader does not parse HTML: it looks for the fixed pieces that the page
// writer puts on one line each, case-sensitively, as the writer spells them.
const QString kColourMarker = QStringLiteral("BgColor=");
const QString kPictureMarker = QStringLiteral("BackGround=");
const QString kTextMarker = QStringLiteral("<span id=\"param3\"");
const QString kTextEnd = QStringLiteral("</span>");
const QString kImageMarker = QStringLiteral("img src=");
const QString kWidthMarker = QStringLiteral("width=");
const QString kAltMarker = QStringLiteral("alt=");
// Only the last page of a set has the close button.
const QString kCloseMarker = QStringLiteral("onClick=\"Check_E()\"");

// The markers as the page's bytes hold them.
const QByteArray kColourBytes = kColourMarker.toLatin1();
const QByteArray kPictureBytes = kPictureMarker.toLatin1();
const QByteArray kTextBytes = kTextMarker.toLatin1();
const QByteArray kImageBytes = kImageMarker.toLatin1();
const QByteArray kCloseBytes = kCloseMarker.toLatin1();

// An HTML5 page is told by its root element's line; its lines are read by
// their own rules (html5_page.h), never by the classic markers.
const QString kHtml5Root = QStringLiteral("<html lang=\"ja\">");
const QByteArray kHtml5Bytes = QByteArrayLiteral("<html lang=");
const QByteArray kHtml5TextBytes = kHtml5TextStart.toLatin1();
const QByteArray kHtml5PictureBytes = kHtml5PictureStart.toLatin1();
const QByteArray kHtml5ColourBytes = QByteArrayLiteral("<body data-colour=");
const QByteArray kHtml5BackgroundBytes = QByteArrayLiteral("<body data-picture=");
const QByteArray kHtml5CloseBytes = kHtml5Close.toLatin1();

constexpr int kStandardWidth = 150;
constexpr int kWideWidth = 250;

// An attribute value written as marker + '"' + value + '"': it starts one
// character after the marker and runs to the next double quote. A line
// without that quote was cut or hand-edited and gives no value.
std::optional<QString> valueAfter(const QString &line, qsizetype markerPos, const QString &marker)
{
    const qsizetype start = markerPos + marker.size() + 1;
    if (start > line.size())
        return std::nullopt;
    const qsizetype end = line.indexOf(u'"', start);
    if (end < 0)
        return std::nullopt;
    return line.mid(start, end - start);
}

// A width is a whole decimal number; "150px", "", "１５０" or a number too long
// for an int are not widths, and the line then gives no picture.
std::optional<int> widthNumber(const QString &value)
{
    if (value.isEmpty() || value.size() > 9)
        return std::nullopt;
    int number = 0;
    for (QChar c : value) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number;
}

// Where each marker first occurs in a line; -1 where it does not.
struct LineMarkers {
    qsizetype colour = -1;
    qsizetype picture = -1;
    qsizetype text = -1;
    qsizetype image = -1;
    qsizetype close = -1;
};

// Where each marker first occurs in a line (PageMarker).
LineMarkers findMarkers(QStringView line)
{
    LineMarkers found;
    struct Marker {
        PageMarker marker;
        qsizetype LineMarkers::*at;
    };
    static const Marker markers[] = {
        {PageMarker(kColourBytes), &LineMarkers::colour},
        {PageMarker(kPictureBytes), &LineMarkers::picture},
        {PageMarker(kTextBytes), &LineMarkers::text},
        {PageMarker(kImageBytes), &LineMarkers::image},
        {PageMarker(kCloseBytes), &LineMarkers::close},
    };
    const char16_t *begin = line.utf16();
    const char16_t *end = begin + line.size();
    for (qsizetype eq = line.indexOf(u'='); eq >= 0; eq = line.indexOf(u'=', eq + 1)) {
        for (const Marker &m : markers) {
            if (found.*m.at < 0 && m.marker.standsAt(begin, end, begin + eq))
                found.*m.at = eq - m.marker.equals;
        }
    }
    return found;
}

// The markers the lines of page n are looked at for: the background only on
// page 1, the close button only where it ends the reading.
const QList<QByteArray> &markersOfPage(int n)
{
    static const QList<QByteArray> first{kTextBytes,        kImageBytes,
                                         kColourBytes,      kPictureBytes,
                                         kCloseBytes,       kHtml5Bytes,
                                         kHtml5TextBytes,   kHtml5PictureBytes,
                                         kHtml5ColourBytes, kHtml5BackgroundBytes,
                                         kHtml5CloseBytes};
    static const QList<QByteArray> middle{kTextBytes,      kImageBytes,     kCloseBytes,
                                          kHtml5Bytes,     kHtml5TextBytes, kHtml5PictureBytes,
                                          kHtml5CloseBytes};
    static const QList<QByteArray> last{kTextBytes, kImageBytes, kHtml5Bytes, kHtml5TextBytes,
                                        kHtml5PictureBytes};
    return n == 1 ? first : n < kPageCount ? middle : last;
}

// A CP932 page holds a character the code page cannot as a decimal
// reference, which is turned back; a UTF-8 page holds every character as
// itself, so a reference in it is one the user typed and stays.
QString restored(const QString &value, PageEncoding encoding)
{
    return encoding == PageEncoding::ShiftJis ? decodeUnencodableReferences(value) : value;
}

// A name or alternative text as the writer escaped it (escapeName).
QString restoredName(const QString &value, PageEncoding encoding)
{
    return unescapeName(restored(value, encoding));
}

// The background a line of page 1 gives, when it gives one. The kind is
// chosen first: choosing it empties the value.
void takeBackground(PageSet &set, BackgroundKind kind, const std::optional<QString> &value)
{
    if (!value)
        return;
    selectBackgroundKind(set, kind);
    set.backgroundValue = *value;
}

// Page 1's body line carries the background. A later matching line wins, and
// a colour marker on a line hides a picture marker on the same line.
void applyBackgroundRule(const QString &line, const LineMarkers &at, PageEncoding encoding,
                         PageSet &set)
{
    const bool colour = at.colour >= 0;
    if (!colour && at.picture < 0)
        return;
    const auto value = colour ? valueAfter(line, at.colour, kColourMarker)
                              : valueAfter(line, at.picture, kPictureMarker);
    takeBackground(set, colour ? BackgroundKind::Colour : BackgroundKind::Picture,
                   value ? std::optional(restoredName(*value, encoding)) : std::nullopt);
}

// A picture line of either format: its width tells the picture's kind, and
// any other width gives no picture.
void takePicture(Page &page, const QString &width, const QString &file, const QString &alt)
{
    const std::optional<int> number = widthNumber(width);
    if (number != kStandardWidth && number != kWideWidth)
        return;
    const bool wide = number == kWideWidth;
    page.kind = wide ? PageKind::WidePicture : PageKind::StandardPicture;
    (wide ? page.wideFile : page.standardFile) = file;
    (wide ? page.wideAlt : page.standardAlt) = alt;
}

void applyTextLine(const QString &line, qsizetype markerPos, PageEncoding encoding, Page &page)
{
    const qsizetype tagEnd = line.indexOf(u'>', markerPos + kTextMarker.size());
    if (tagEnd < 0)
        return;
    const qsizetype start = tagEnd + 1;
    // The writer ends the line with the text's own end tag, so the text runs
    // to the last one: a typed "<span ...>red</span> and more" stays whole.
    const qsizetype end = line.lastIndexOf(kTextEnd);
    if (end < start)
        return;
    QString text = line.mid(start, end - start);
    // The writer turned each typed line break into "<BR>".
    text.replace(QStringLiteral("<BR>"), QStringLiteral("\r\n"));
    page.kind = PageKind::Text;
    page.text = restored(text, encoding);
}

void applyImageLine(const QString &line, qsizetype markerPos, PageEncoding encoding, Page &page)
{
    const qsizetype fileStart = markerPos + kImageMarker.size() + 1;
    if (fileStart > line.size())
        return;
    const qsizetype fileEnd = line.indexOf(u'"', fileStart);
    if (fileEnd < 0)
        return;
    // Width and alternative text are looked for after the file name only, so
    // a file name holding "width=" cannot be mistaken for them.
    const qsizetype w = line.indexOf(kWidthMarker, fileEnd + 1);
    const qsizetype a = line.indexOf(kAltMarker, fileEnd + 1);
    if (w < 0 || a < 0)
        return;
    const auto widthValue = valueAfter(line, w, kWidthMarker);
    const auto alt = valueAfter(line, a, kAltMarker);
    if (!widthValue || !alt)
        return;
    takePicture(page, *widthValue, restoredName(line.mid(fileStart, fileEnd - fileStart), encoding),
                restoredName(*alt, encoding));
}

// A line holding both markers is a text line, even when its text rule fails.
void applyContentRule(const QString &line, const LineMarkers &at, PageEncoding encoding, Page &page)
{
    if (at.text >= 0) {
        applyTextLine(line, at.text, encoding, page);
        return;
    }
    if (at.image >= 0)
        applyImageLine(line, at.image, encoding, page);
}

// The value of name="..." in an HTML5 line written by the page writer, its
// entities turned back; nothing when the attribute is not there.
std::optional<QString> html5Attribute(const QString &line, const QString &name, qsizetype from = 0)
{
    const QString open = u' ' + name + QStringLiteral("=\"");
    const qsizetype at = line.indexOf(open, from);
    if (at < 0)
        return std::nullopt;
    const qsizetype start = at + open.size();
    const qsizetype end = line.indexOf(u'"', start);
    if (end < 0)
        return std::nullopt;
    return unescapeHtml(line.mid(start, end - start));
}

// The file name of a src or url() that urlOfFileName wrote.
QString fileNameOfUrl(const QString &url)
{
    return QUrl::fromPercentEncoding(url.toUtf8());
}

// One line of an HTML5 page; true when it is the close button, which ends
// the set.
bool applyHtml5Line(const QString &line, int n, PageSet &set)
{
    Page &page = set.page(n);
    if (line.startsWith(kHtml5TextStart) && line.endsWith(kHtml5TextEnd)) {
        QString text = line.mid(kHtml5TextStart.size(),
                                line.size() - kHtml5TextStart.size() - kHtml5TextEnd.size());
        text.replace(QStringLiteral("<br>"), QStringLiteral("\r\n"));
        page.kind = PageKind::Text;
        page.text = text;
    } else if (line.startsWith(kHtml5PictureStart)) {
        const auto src = html5Attribute(line, QStringLiteral("src"));
        const auto width = html5Attribute(line, QStringLiteral("width"));
        const auto alt = html5Attribute(line, QStringLiteral("alt"));
        if (!src || !width || !alt)
            return false;
        takePicture(page, *width, fileNameOfUrl(*src), *alt);
    } else if (n == 1 && line.startsWith(kHtml5BodyColour)) {
        takeBackground(set, BackgroundKind::Colour,
                       html5Attribute(line, QStringLiteral("data-colour")));
    } else if (n == 1 && line.startsWith(kHtml5BodyPicture)) {
        takeBackground(set, BackgroundKind::Picture,
                       html5Attribute(line, QStringLiteral("data-picture")));
    } else if (line.startsWith(kHtml5Close)) {
        return true;
    }
    return false;
}

// How the lines of one page format change the set. A page tells its format
// by its root line; the reader of each format is here, and nowhere else asks
// which format a page has.
class PageFormatReader {
public:
    virtual ~PageFormatReader() = default;
    // One line of page n; true when it is the close button, which ends the
    // set.
    virtual bool apply(const QString &line, int n, PageEncoding encoding, PageSet &set) const = 0;
};

class ClassicReader final : public PageFormatReader {
public:
    bool apply(const QString &line, int n, PageEncoding encoding, PageSet &set) const override
    {
        const LineMarkers at = findMarkers(line);
        if (n == 1)
            applyBackgroundRule(line, at, encoding, set);
        applyContentRule(line, at, encoding, set.page(n));
        return at.close >= 0;
    }
};

class Html5Reader final : public PageFormatReader {
public:
    bool apply(const QString &line, int n, PageEncoding, PageSet &set) const override
    {
        return applyHtml5Line(line, n, set);
    }
};

} // namespace

ReadOutcome readPageSetFiles(const QString &outFolder, const QString &title, const QString &ext,
                             const PageSet &start)
{
    ReadOutcome outcome{start, 0};
    // A separator in the title or extension would name a file outside the
    // output folder; the writer refuses such titles, so no set has one. A
    // set whose title holds a quote (written before such titles were
    // refused) still opens, so that its pages can be taken over.
    if (separatorInName(title + ext))
        return outcome;

    // outFolder + popupPageFileName(title, n, ext) as the file system spells
    // it, encoded once but for the digit (which, like the '_' before it, is
    // ASCII and so encodes on its own).
    const QByteArray stem = QFile::encodeName(outFolder + title + u'_');
    QByteArray path = stem + '0' + QFile::encodeName(ext);
    const qsizetype digit = stem.size();
    for (int n = 1; n <= kPageCount; ++n) {
        static const ClassicReader classic;
        static const Html5Reader html5;
        const PageFormatReader *reader = &classic;
        bool closed = false;
        path[digit] = char('0' + n);
        // Only lines holding a marker can change the set; the reader hands on
        // no other.
        // Each page tells its own encoding (a Shift-JIS set has none to tell);
        // it is known before the first line arrives.
        PageEncoding encoding = PageEncoding::ShiftJis;
        PageRefusal refusal = PageRefusal::None;
        int readError = 0;
        const bool opened = readPageLinesHolding(
            path, markersOfPage(n),
            [&](const QString &line) {
                if (line == kHtml5Root) {
                    reader = &html5;
                    return true;
                }
                // Page 6 is the last a set can have and is read to its end.
                if (reader->apply(line, n, encoding, outcome.set) && n < kPageCount) {
                    closed = true;
                    return false;
                }
                return true;
            },
            &encoding, &refusal, &readError);
        // Part of a page is not the page: the whole set is refused rather
        // than opened as if it ended there.
        if (refusal == PageRefusal::ReadFailed) {
            return ReadOutcome{start, 0,
                               pageReadFailedMessage(popupPageFileName(title, n, ext), readError)};
        }
        // A page that cannot be opened ends the set with the pages before it
        // (a later page deleted, or an older set's page 1 without its pages).
        if (!opened) {
            if (refusal != PageRefusal::NotFound)
                outcome.refusal = pageRefusalMessage(popupPageFileName(title, n, ext), refusal);
            return outcome;
        }
        outcome.pagesRead = n;
        if (closed)
            return outcome;
    }
    return outcome;
}

QString fileNotFoundMessage()
{
    return Texts::tr("ファイルが見つかりません。");
}

QString pageRefusalMessage(const QString &fileName, PageRefusal refusal)
{
    if (refusal == PageRefusal::LinkOutside)
        return Texts::tr(
                   "[ %1 ] は Popleaf の外にあるファイルへのリンクのため、読み込みませんでした。")
            .arg(fileName);
    if (refusal == PageRefusal::TooLarge)
        return Texts::tr("[ %1 ] は %2 MB を超えていて、ページのファイルとしては大きすぎるため、"
                         "読み込みませんでした。")
            .arg(fileName, QString::number(kMaxPageFileBytes >> 20));
    return fileNotFoundMessage();
}

QString pageReadFailedMessage(const QString &fileName, int error)
{
    return Texts::tr("[ %1 ] を最後まで読み込めなかったため、セットを開きませんでした。\n理由: %2")
        .arg(fileName, systemErrorText(error));
}

QString readReportMessage(const QString &title, const QString &ext, int pagesRead)
{
    if (pagesRead < 1)
        return fileNotFoundMessage();
    const QString first = popupPageFileName(title, 1, ext);
    if (pagesRead == 1)
        return Texts::tr("ポップリーフ [ %1 ] を読み込みました。").arg(first);
    return Texts::tr("ポップリーフ [ %1 ] ～ [ %2 ] を読み込みました。")
        .arg(first, popupPageFileName(title, pagesRead, ext));
}

} // namespace zelmora
