#pragma once

#include "core/files/page_lines.h"
#include "core/model/page_set.h"

#include <QString>

namespace zelmora {

// What reading a set gave: the page set the editor is to show and how many
// pages were read (the report names pages 1 to pagesRead). pagesRead 0 means
// page 1 could not be opened; set is then the start set unchanged.
// refusal says why the page after the last one read was not read, when the
// reader refused it (a link leading outside the folder, a file too large to
// be a page); it is empty when that page is simply not there. A page whose
// reading failed part-way refuses the whole set: pagesRead is 0, set is start
// and refusal names the page and the reason.
struct ReadOutcome {
    PageSet set;
    int pagesRead = 0;
    QString refusal;
};

// Reads the popup pages outFolder + title + "_" + n + ext, n = 1 to 6, into a
// copy of start (normally the reset editor). outFolder ends with a separator,
// as outputFolder does. Reading stops after the page with the close button,
// on pages 1 to 5, or at the first page that cannot be opened; page 6 is read
// to its end.
ReadOutcome readPageSetFiles(const QString &outFolder, const QString &title, const QString &ext,
                             const PageSet &start);

// "ポップリーフ [ abc_1.htm ] を読み込みました。", or the range
// "[ abc_1.htm ] ～ [ abc_3.htm ]" for more than one page; the not-found
// message when no page was read.
QString readReportMessage(const QString &title, const QString &ext, int pagesRead);

// The message when page 1 of the set cannot be opened.
QString fileNotFoundMessage();

// The message for a page the reader refused, naming the file.
QString pageRefusalMessage(const QString &fileName, PageRefusal refusal);

// The message for a page whose reading failed part-way, naming the file and
// the system's reason; the set is then not opened at all.
QString pageReadFailedMessage(const QString &fileName, int error);

} // namespace zelmora
