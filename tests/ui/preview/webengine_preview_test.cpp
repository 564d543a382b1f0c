#include "support/in_process_preview.h"
#include "ui/preview_guest/preview_module.h"
#include "support/record_editor.h"
#include "ui/preview_guest/preview_window.h"

#include "support/recording_desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;

class WebEnginePreviewIn : public testing::TestWithParam<const char *> {};

// The real module, in this process: the engine loads the written page, in the encoding the
// settings choose (MojiCodeSettei 0 Shift-JIS, 1 UTF-8; HTML5 pages always
// UTF-8), shows its title and
// text as typed, and forward loads page 2.
TEST_P(WebEnginePreviewIn, loadsThePagesThroughTheModule)
{
    QTemporaryDir dir;
    const ProgramPaths paths = initPortablePaths(dir.path());
    QFile settings(paths.settingsFile);
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(QByteArray("[OptionSettei]\r\nMojiCodeSettei=") + GetParam() + "\r\n");
    settings.close();
    const bool utf8 = QByteArray(GetParam()) != "0";
    // The page's title: an HTML5 page says which page of how many.
    const bool html5 = QByteArray(GetParam()).contains("KeishikiSettei=1");
    auto title = [html5](int k) { return html5 ? QStringLiteral("春 (%1/2)").arg(k) : QStringLiteral("春_%1").arg(k); };
    EditorState state;
    RecordingDesktop desktop;
    RecordEditor editor;
    editor.set().title = QStringLiteral("春");
    editor.set().page(1).kind = PageKind::Text;
    editor.set().page(1).text = QStringLiteral("テキスト 😀");
    // Page 2: a picture from the output folder, reached through ../Popleaf/.
    editor.set().page(2).kind = PageKind::StandardPicture;
    editor.set().page(2).standardFile = QStringLiteral("a.png");
    QImage picture(150, 115, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(paths.outputFolder + QStringLiteral("a.png")));
    QWidget mainWindow;

    bool checked = false;
    QTimer::singleShot(0, [&, title] {
        auto *w = qobject_cast<PreviewWindow *>(QApplication::activeModalWidget());
        ASSERT_TRUE(w);
        // Closed however the checks below end, so the modal loop returns.
        const auto closer = qScopeGuard([w] { w->close(); });
        auto *view = w->findChild<QWebEngineView *>(QStringLiteral("WebBrowser1"));
        ASSERT_TRUE(view);
        QTRY_COMPARE_WITH_TIMEOUT(view->title(), title(1), 20000);
        QFile page1(paths.previewFolder + QStringLiteral("春_1.htm"));
        ASSERT_TRUE(page1.open(QIODevice::ReadOnly));
        EXPECT_EQ(page1.read(3) == "\xEF\xBB\xBF", utf8);
        QString text;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                view->page()->runJavaScript(QStringLiteral("(document.getElementById('param3') || document.getElementById('text')).textContent"),
                                            QWebEngineScript::ApplicationWorld,
                                            [&](const QVariant &v) { text = v.toString(); });
                return !text.isEmpty();
            }(),
            20000);
        EXPECT_EQ(text, QStringLiteral("テキスト 😀"));
        w->findChild<QPushButton *>(QStringLiteral("Com_frd"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(view->title(), title(2), 20000);
        int width = -1;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                view->page()->runJavaScript(QStringLiteral("document.images[0].naturalWidth"),
                                            QWebEngineScript::ApplicationWorld,
                                            [&](const QVariant &v) { width = v.toInt(); });
                return width == 150;
            }(),
            20000);
        checked = true;
    });
    runPreviewCommand(&mainWindow, editor, state, paths, desktop, previewModule());
    EXPECT_TRUE(checked);
    EXPECT_TRUE(desktop.calls.isEmpty());
}

// The last: the HTML5 format, whatever the encoding option says.
INSTANTIATE_TEST_SUITE_P(WebEnginePreview, WebEnginePreviewIn, testing::Values("0", "1", "0\r\nKeishikiSettei=1"));

namespace {

// Stands in for the system browser: records the links handed to it.
class LinkRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

// A link typed into a page's text opens in the system browser; the preview
// keeps showing the page.
TEST(WebEnginePreview, clickedLinkGoesToTheSystemBrowser)
{
    QTemporaryDir dir;
    const ProgramPaths paths = initPortablePaths(dir.path());
    EditorState state;
    RecordingDesktop desktop;
    RecordEditor editor;
    editor.set().title = QStringLiteral("link");
    editor.set().page(1).kind = PageKind::Text;
    editor.set().page(1).text = QStringLiteral("<a id=\"l\" href=\"https://example.invalid/x\">x</a>");
    QWidget mainWindow;
    LinkRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); });

    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto *w = qobject_cast<PreviewWindow *>(QApplication::activeModalWidget());
        ASSERT_TRUE(w);
        const auto closer = qScopeGuard([w] { w->close(); });
        auto *view = w->findChild<QWebEngineView *>(QStringLiteral("WebBrowser1"));
        QTRY_COMPARE_WITH_TIMEOUT(view->title(), QStringLiteral("link_1"), 20000);
        // A real click at the link's place on the page.
        QRect link;
        view->page()->runJavaScript(
            QStringLiteral("(function(){var r=document.getElementById('l').getBoundingClientRect();"
                           "return [r.left,r.top,r.width,r.height];})()"),
            QWebEngineScript::ApplicationWorld, [&](const QVariant &v) {
                const QVariantList r = v.toList();
                if (r.size() == 4)
                    link = QRect(r[0].toInt(), r[1].toInt(), r[2].toInt(), r[3].toInt());
            });
        QTRY_VERIFY_WITH_TIMEOUT(!link.isEmpty(), 20000);
        QWidget *target = view->focusProxy() ? view->focusProxy() : view;
        QTest::mouseClick(target, Qt::LeftButton, {}, link.center());
        QTRY_COMPARE_WITH_TIMEOUT(recorder.urls.size(), 1, 20000);
        EXPECT_EQ(recorder.urls[0], QUrl(QStringLiteral("https://example.invalid/x")));
        EXPECT_EQ(view->title(), QStringLiteral("link_1"));
        checked = true;
    });
    runPreviewCommand(&mainWindow, editor, state, paths, desktop, previewModule());
    EXPECT_TRUE(checked);
}

#include "webengine_preview_test.moc"
