#include "ui/preview_guest/preview_window.h"

#include "ui/kit/form_layout.h"
#include "ui/kit/keyboard.h"
#include "ui/preview_guest/preview_browser.h"
#include "core/preview/preview_pages.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace zelmora {

PreviewWindow::PreviewWindow(PreviewBrowserFactory &factory, QString tempFolder, QWidget *parent) :
    QDialog(parent), m_tempFolder(std::move(tempFolder))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("ページプレビュー"));
    setFont(gothicFont(9));
    setFixedSize(twipsSize(4860, 3810));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const QFont heading = gothicFont(12, true);
    auto label = [&](const char *name, int left, int top, int width, int height) {
        auto *l
            = placeControl(new QLabel(this), QString::fromLatin1(name), left, top, width, height);
        l->setFont(heading);
        // The title is the user's text, never markup to render.
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    // Label1 ends just left of Label2: right-aligned, the two read as one
    // heading "title_n".
    m_label1 = label("Label1", 120, 120, 4095, 375);
    m_label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Label2 is widened to the right so a bold 12-point digit is never cut.
    m_label2 = label("Label2", 4320, 120, 375, 375);
    // Label3 only holds the extension for the page path; it would stand in
    // the middle of the heading, so it is kept hidden.
    m_label3 = label("Label3", 2400, 120, 495, 375);
    m_label3->hide();

    m_browser = factory.createBrowser(this);
    placeControl(m_browser->widget(), QStringLiteral("WebBrowser1"), 0, 480, 4860, 2655);
    m_browser->widget()->setAccessibleName(windowTitle());

    auto button = [&](const char *name, const QString &caption, int left, int top, int width,
                      int height, bool bold) {
        auto *b = placeControl(new QPushButton(caption, this), QString::fromLatin1(name), left, top,
                               width, height);
        b->setAutoDefault(true); // Enter presses the focused button, as Space does
        if (bold)
            b->setFont(heading);
        return b;
    };
    QPushButton *comBak = button("Com_bak", tr("←"), 480, 3210, 495, 495, true);
    QPushButton *comFrd = button("Com_frd", tr("→"), 960, 3210, 495, 495, true);
    QPushButton *close = button("Command1", tr("閉じる"), 3000, 3240, 1600, 375, false);
    // The arrows alone would be read out as arrows.
    comBak->setAccessibleName(tr("前のページ"));
    comFrd->setAccessibleName(tr("次のページ"));
    // ← and → turn the pages from anywhere in the window; Escape closes it.
    comBak->setShortcut(Qt::Key_Left);
    comFrd->setShortcut(Qt::Key_Right);
    setMnemonicCaption(close, close->text(), 'C');
    setTabOrder(comBak, comFrd);
    setTabOrder(comFrd, close);
    connect(comBak, &QPushButton::clicked, this, &PreviewWindow::back);
    connect(comFrd, &QPushButton::clicked, this, &PreviewWindow::forward);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void PreviewWindow::start(const QString &title, int lastPage)
{
    m_lastPage = lastPage;       // 1 to 6, as in every request that is shown
    QDir().mkpath(m_tempFolder); // the preview pages were just written there; failure ignored
    m_label1->setText(title + u'_');
    m_label2->setText(QStringLiteral("1"));
    m_label3->setText(kPreviewExtension);
    showCurrentPage();
}

QString PreviewWindow::currentPagePath() const
{
    return m_tempFolder + m_label1->text() + m_label2->text() + m_label3->text();
}

void PreviewWindow::showCurrentPage()
{
    m_browser->navigate(currentPagePath());
}

void PreviewWindow::back()
{
    const int n = m_label2->text().toInt();
    if (n > 1)
        m_label2->setText(QString::number(n - 1));
    showCurrentPage();
}

void PreviewWindow::forward()
{
    // The page kinds cannot change while this window is open: the main
    // window takes no input meanwhile.
    const int n = m_label2->text().toInt();
    if (n < m_lastPage)
        m_label2->setText(QString::number(n + 1));
    showCurrentPage();
}

} // namespace zelmora
