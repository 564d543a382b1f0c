#pragma once

#include "support/file_compare.h"
#include "ui/kit/message_box_desktop.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QString>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <ostream>

#include <gtest/gtest.h>

namespace zelmora::test {

// Acts on the next modal window once it is shown: the action fills it by
// objectName and closes it. Queued, so it runs inside the window's own loop.
inline void onNextModal(std::function<void(QWidget *)> act, int triesLeft = 500)
{
    QTimer::singleShot(0, [act = std::move(act), triesLeft]() mutable {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            act(modal);
            return;
        }
        if (triesLeft > 0)
            onNextModal(std::move(act), triesLeft - 1);
        else
            ADD_FAILURE() << "no modal window appeared";
    });
}

// Types text key by key, whatever its script (QTest::keyClicks knows only
// the keys of a Latin keyboard).
inline void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// Message boxes as the program shows them, over the modal window open.
inline Desktop &messageBoxes()
{
    static MessageBoxDesktop boxes(nullptr);
    return boxes;
}

// A child by objectName, failing the test when it is missing.
template <class Widget>
Widget *child(const QObject *root, const QString &name)
{
    auto *found = root->findChild<Widget *>(name);
    EXPECT_NE(found, nullptr) << "no " << name.toStdString();
    return found;
}

// Chooses the last page tab and then the first again, as a user looking
// through the pages would: the main window builds pages 2 to 6 after its
// first paint, or when their tab is chosen.
inline void visitEveryTab(QWidget *window)
{
    auto *tabs = child<QTabWidget>(window, QStringLiteral("SSTab1"));
    tabs->setCurrentIndex(tabs->count() - 1);
    tabs->setCurrentIndex(0);
}

// A picture whose every pixel tells where it is, so that any part of it can
// be recognised.
inline QRgb patternPixel(int x, int y)
{
    return qRgb(x % 251, y % 241, (x / 251 * 7 + y / 241 * 13) % 256);
}

inline QImage patternImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = patternPixel(x, y);
    }
    return image;
}

} // namespace zelmora::test
