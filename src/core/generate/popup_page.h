#pragma once

// Fixed output: the script lines below are bytes of every page and of the
// data page; do not tidy or wrap them (formatting is off for this file).
// clang-format off

#include "core/model/page_set.h"
#include "core/files/page_lines.h"
#include "core/text/markup_escape.h"
#include "core/text/page_encoding.h"

#include <QStringList>

#include <optional>

namespace zelmora {

// Robots handling of the popup pages, from the setting KensakuSettei.
struct PopupSettings {
    int robotsMode = 0;   // 1: NOINDEX, NOFOLLOW; 2: INDEX, FOLLOW and the home link; else none
    QString homeName;     // HomeName
    QString homeURL;      // HomeURL
};

// Everything one popup page is written from.
struct PopupPage {
    QString title;
    int k = 1;              // page number 1..6
    QString ext;            // extension
    bool linked = false;    // a next page follows (else the close button)
    PopupSettings settings;
    QString body;           // the body attribute, see bodyAttribute()
    PageKind kind = PageKind::Text;
    QString text;           // after replaceLineBreaks()
    QString file;           // the picture of the page's kind
    QString alt;
    PageEncoding encoding = PageEncoding::ShiftJis;
};

// caption of Label_BK, '"', Text_BK, '"', converted to half width, the
// value escaped (escapeName) after the conversion.
QString bodyAttribute(const QString &attributeName, const QString &value);
// Every CR LF pair becomes "<BR>"; a lone CR or LF stays.
QString replaceLineBreaks(const QString &text);

// The lines of a popup page, without line ends; a UTF-8 page with its
// charset declaration.
QStringList popupPageLines(const PopupPage &page);

// File name: title + "_" + k + ext.
QString popupPageFileName(const QString &title, int k, const QString &ext);

// Writes outFolder + the page's file name; a whole new file or an error.
std::optional<FileError> writePopupPage(const QString &outFolder, const PopupPage &page);

// The picture file and alternative text a page of this kind shows.
// The 17 lines of a preview page (18 in UTF-8, with the charset
// declaration): a popup page without scripts, buttons, robots line and home
// link, its pictures reached through picturePath. body is the preview body
// attribute (previewBodyAttribute()).
QStringList previewPageLines(const QString &title, int k, const QString &body, const Page &page,
                             const QString &picturePath, PageEncoding encoding);

// The body attribute of a preview page, its picture reached through picturePath.
QString previewBodyAttribute(const PageSet &set, const QString &picturePath);

QString pictureFile(const Page &page);
QString pictureAlt(const Page &page);

// The script lines shared with the data page.
inline const QString kOpenSubLine = QStringLiteral(
    "function OpenSub(URL,E){var x = GetPosX(E)-285;var y = GetPosY(E)-175;OpenNearWin(URL,x,y);}");
inline const QString kOpenNearWinLine = QStringLiteral(
    "function OpenNearWin(URL,X,Y){NewWin = window.open(URL, 'nearwin', "
    "'left='+X+',top='+Y+',width=320,height=170');NewWin.focus();}");
inline const QString kGetPosXLine = QStringLiteral(
    "function GetPosX(E){if( document.all )return window.event.screenX;else if( document.layers "
    "|| document.getElementById )return E.screenX;}");
inline const QString kGetPosYLine = QStringLiteral(
    "function GetPosY(E){if( document.all )return window.event.screenY;else if( document.layers "
    "|| document.getElementById )return E.screenY;}");

} // namespace zelmora
