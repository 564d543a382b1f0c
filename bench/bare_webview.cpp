// The preview floor: a bare program that shows a QWebEngineView loading one
// file, ending as soon as the page is painted. Timed as a whole process.

#include "page_paint_watch.h"

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <page file>\n", argv[0]);
        return 2;
    }
    QWebEngineView view;
    // WebBrowser1's size in the preview window.
    view.resize(324, 177);
    zelmora::bench::PagePaintWatch watch;
    view.page(); // made on first use; the watch needs it now
    watch.watch(&view);
    watch.arm([] {
        std::fflush(nullptr);
        ::_exit(0);
    });
    view.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    view.show();
    return app.exec();
}
