#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace zelmora {

class PreviewBrowser;
class PreviewBrowserFactory;

// Form3: shows the preview pages one at a time. Its whole state is in the
// captions of Label1 (title + "_"), Label2 (page number) and Label3 (".htm").
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    PreviewWindow(PreviewBrowserFactory &factory, QString tempFolder, QWidget *parent);

    // Starts at page 1 of the set titled title, whose preview pages run from
    // 1 to lastPage. The pages are the program's: it deletes them.
    void start(const QString &title, int lastPage);
    PreviewBrowser *browser() const { return m_browser; }
    void showCurrentPage();
    QString currentPagePath() const;

private:
    void back();
    void forward();

    QString m_tempFolder;
    int m_lastPage = 1;
    PreviewBrowser *m_browser = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
};

} // namespace zelmora
