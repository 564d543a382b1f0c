#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace zelmora {

// What the commands ask of the desktop. The windows use message boxes and
// QDesktopServices; tests record the calls instead.
class Desktop {
public:
    virtual ~Desktop() = default;

    // A modal box with the information icon, one OK button and the caption
    // "Zelmora"; returns when the user has closed it.
    virtual void information(const QString &text) = 0;
    // The same without an icon.
    virtual void plainMessage(const QString &text) = 0;
    // A failure the user must know of (a file that could not be written).
    virtual void warning(const QString &text) = 0;
    // Hands a file or folder to the desktop's handler; the result is not examined.
    virtual void openUrl(const QUrl &url) = 0;
    // A question with はい and いいえ, いいえ the default; true for はい. A
    // desktop that cannot ask answers いいえ, so nothing is replaced unasked.
    virtual bool question(const QString &text)
    {
        Q_UNUSED(text);
        return false;
    }
    // The system's dialog for choosing GIF, JPEG, PNG and BMP files (the
    // desktop portal's where the desktop has one); the files chosen, none
    // when the user cancels. A desktop that cannot ask chooses none.
    virtual QStringList choosePictureFiles() { return {}; }
    // The wait cursor on or off (calls nest), for a command whose disk work
    // the user waits for: a slow stick makes even a small set take a while.
    // The boxes above show the normal cursor meanwhile.
    virtual void setBusy(bool busy) { Q_UNUSED(busy); }
};

// The wait cursor for as long as it lives, so that every way out of a
// command ends it.
class BusyCursor {
public:
    explicit BusyCursor(Desktop &desktop) : m_desktop(desktop) { m_desktop.setBusy(true); }
    ~BusyCursor() { m_desktop.setBusy(false); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    Desktop &m_desktop;
};

inline const QString kApplicationTitle = QStringLiteral("Zelmora");

} // namespace zelmora
