#include "page_paint_watch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMetaMethod>

#include <cstdio>
#include <cstdlib>

namespace zelmora::bench {

PagePaintWatch::PagePaintWatch()
{
    // The render widget is made by the engine when it has something to show,
    // so it is recognised by its class wherever it appears under the view.
    QCoreApplication::instance()->installEventFilter(this);
}

PagePaintWatch::~PagePaintWatch()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void PagePaintWatch::watch(QWidget *view)
{
    if (m_view == view)
        return;
    m_view = view;
    QObject *page = nullptr;
    for (QObject *child : view->findChildren<QObject *>()) {
        if (child->inherits("QWebEnginePage")) {
            page = child;
            break;
        }
    }
    if (!page) {
        std::fprintf(stderr, "no QWebEnginePage under the view\n");
        std::abort();
    }
    m_page = page;
    const int signal = page->metaObject()->indexOfSignal("loadFinished(bool)");
    const int slot = metaObject()->indexOfSlot("loadFinished(bool)");
    connect(page, page->metaObject()->method(signal), this, metaObject()->method(slot));
}

void PagePaintWatch::arm(std::function<void()> onPainted)
{
    m_loaded = false;
    m_onPainted = std::move(onPainted);
}

void PagePaintWatch::loadFinished(bool ok)
{
    if (m_onPainted && ok)
        m_loaded = true;
}

bool PagePaintWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Paint || !m_loaded || !m_onPainted || !m_view)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !widget->inherits("QQuickWidget") || !m_view->isAncestorOf(widget))
        return false;
    m_loaded = false;
    // Queued, so the frame is painted and flushed before the callback runs.
    QMetaObject::invokeMethod(
        this,
        [this, done = std::move(m_onPainted)] {
            QGuiApplication::sync();
            done();
        },
        Qt::QueuedConnection);
    m_onPainted = nullptr;
    return false;
}

} // namespace zelmora::bench
