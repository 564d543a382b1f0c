#pragma once

#include "core/files/draft_file.h"
#include "core/files/draft_writer.h"
#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/model/page_set.h"

#include <QObject>
#include <QTimer>

#include <functional>

#include <optional>

class QWidget;

namespace zelmora {

// Keeps the editor's page set in a draft file while the user works, so that
// a crash, a kill or a logout loses nothing. The set is saved a moment after
// the last keystroke or click, by a writer thread (the window never waits
// for the disk), and whenever the program ends normally, which waits until
// the draft is on disk; a set
// that holds nothing new (empty, or a reopened set left as read) has no draft.
// Each running copy of the program has a draft of its own beside the settings
// file and never touches one that another running copy holds.
class DraftKeeper : public QObject {
    Q_OBJECT
public:
    DraftKeeper(Editor &editor, Desktop &desktop, const QString &settingsFile, QWidget *window);
    ~DraftKeeper() override;

    // This copy's own draft; empty when no draft can be kept beside the settings.
    const QString &path() const { return m_path; }

    // At start: of the drafts left by copies that no longer run, the most
    // recently saved is offered; a later start offers the next one. The
    // default button restores it as this window's set; the other deletes it.
    void offerRestore();
    // The editor now holds a set that is safe elsewhere (a set just read
    // from its files): it needs no draft until it changes.
    void markClean();
    // Has the draft written now if the set changed since it was last asked
    // for; the writing itself runs on the writer thread.
    void saveNow();
    // Saves and waits until the draft is on disk, with any failure told.
    void saveAndWait();

    static QString question();

    // SIGTERM, SIGHUP, SIGINT and SIGQUIT (a logout, a shutdown, a closed
    // terminal, Ctrl+C or Ctrl+\ in it) end the program the normal way, so
    // the draft is written before it goes. first runs before the quit: what
    // would hold the main window open (a preview) ends there.
    static void quitNormallyOnTermination(std::function<void()> first = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isClean(const PageSet &set) const;
    void reportFailure(const FileError &error);
    void offer(const QString &left, const PageSet &set);
    void waitForWriter();
    void written(quint64 request, const std::optional<FileError> &error);

    Editor &m_editor;
    Desktop &m_desktop;
    QString m_settingsFile;
    DraftSlot m_slot;
    QString m_path;
    QWidget *m_window;
    QTimer m_timer;
    PageSet m_clean;                // the set that needs no draft besides the empty one
    std::optional<PageSet> m_asked; // what the draft file holds once written, if any
    bool m_reportedFailure = false;
    QString m_leftBehind;         // a restored draft, removed once this copy's holds its set
    quint64 m_restoreRequest = 0; // the save that holds it
    DraftWriter m_writer;         // last: its thread ends before the rest goes
};

} // namespace zelmora
