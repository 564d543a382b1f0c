#pragma once

#include "core/model/desktop.h"

class QWidget;

namespace zelmora {

// The desktop as the user sees it: message boxes owned by parent (or by the
// modal window open over it), and QDesktopServices for files and folders.
class MessageBoxDesktop : public Desktop {
public:
    explicit MessageBoxDesktop(QWidget *parent) : m_parent(parent) {}

    void information(const QString &text) override;
    void plainMessage(const QString &text) override;
    void warning(const QString &text) override;
    void openUrl(const QUrl &url) override;
    bool question(const QString &text) override;
    QStringList choosePictureFiles() override;
    void setBusy(bool busy) override;

private:
    QWidget *m_parent;
    int m_busy = 0;
};

} // namespace zelmora
