#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace zelmora::bench {

// Tells when a web view has painted the page it was loading: the first frame
// its render widget paints after the page reported a finished load. Written
// against QObject names only, so a program that loads the web engine as a
// module can use it without linking the engine.
class PagePaintWatch : public QObject {
    Q_OBJECT
public:
    PagePaintWatch();
    ~PagePaintWatch() override;

    // The view (a QWebEngineView) whose page is watched; its page must exist.
    void watch(QWidget *view);
    // Waits for the next finished load and its first frame, then calls
    // onPainted once, from the event loop, after that frame is on screen.
    void arm(std::function<void()> onPainted);
    bool armed() const { return bool(m_onPainted); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void loadFinished(bool ok);

private:
    QPointer<QWidget> m_view;
    QPointer<QObject> m_page;
    bool m_loaded = false;
    std::function<void()> m_onPainted;
};

} // namespace zelmora::bench
