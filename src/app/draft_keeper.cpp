#include "app/draft_keeper.h"

#include "core/files/draft_file.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace zelmora {

namespace {

// Long enough that typing a word writes once, short enough that a kill right
// after the user stops loses nothing.
constexpr int kQuietMilliseconds = 600;

PageSet emptySet()
{
    PageSet set;
    resetPageSet(set);
    return set;
}

int terminationPipe[2] = {-1, -1};

void onTermination(int)
{
    const char byte = 1;
    // Only async-signal-safe calls here; the event loop does the rest.
    [[maybe_unused]] const ssize_t written = ::write(terminationPipe[1], &byte, 1);
}

} // namespace

void DraftKeeper::quitNormallyOnTermination(std::function<void()> first)
{
    if (terminationPipe[0] >= 0 || ::pipe2(terminationPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [first = std::move(first)] {
        char byte;
        while (::read(terminationPipe[0], &byte, 1) > 0) {
        }
        if (first)
            first();
        QCoreApplication::quit(); // aboutToQuit writes the draft
    });
    struct sigaction action {};
    action.sa_handler = onTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT, SIGQUIT})
        ::sigaction(signal, &action, nullptr);
}

DraftKeeper::DraftKeeper(Editor &editor, Desktop &desktop, const QString &settingsFile,
                         QWidget *window) :
    QObject(window),
    m_editor(editor), m_desktop(desktop), m_settingsFile(settingsFile),
    m_slot(claimDraftSlot(settingsFile)), m_path(m_slot.path), m_window(window),
    m_clean(emptySet()), m_writer(this, [this](quint64 request, std::optional<FileError> error) {
        written(request, error);
    })
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kQuietMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &DraftKeeper::saveNow);
    qApp->installEventFilter(this);
    // Every normal end, the close box and 閉じる included, passes here; a
    // logout asks the session manager first.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &DraftKeeper::saveAndWait);
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager &) { saveAndWait(); });
}

DraftKeeper::~DraftKeeper()
{
    qApp->removeEventFilter(this);
    // The window ends normally: its lock file goes with it. A copy that is
    // killed leaves the file, which the next start locks again.
    m_writer.waitUntilWritten();
    m_slot.lock.removeAndRelease(draftLockPath(m_path));
}

QString DraftKeeper::question()
{
    return tr("前回の編集内容が残っています。復元しますか？");
}

bool DraftKeeper::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::InputMethod:
    case QEvent::Drop:
        m_timer.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool DraftKeeper::isClean(const PageSet &set) const
{
    if (set == m_clean)
        return true;
    // The editor as it starts and as every creation leaves it.
    PageSet initial;
    return set == initial || set == emptySet();
}

void DraftKeeper::saveNow()
{
    m_timer.stop();
    const PageSet set = m_editor.pageSet();
    if (isClean(set)) {
        if (m_asked) {
            m_writer.remove(m_path);
            m_asked.reset();
        }
        return;
    }
    if (m_asked == set)
        return;
    if (m_path.isEmpty()) {
        if (m_slot.error)
            reportFailure(*m_slot.error);
        return;
    }
    m_asked = set;
    m_writer.save(m_path, set);
}

void DraftKeeper::saveAndWait()
{
    saveNow();
    waitForWriter();
}

void DraftKeeper::waitForWriter()
{
    m_writer.waitUntilWritten();
    // The outcomes are queued to this thread; taken now, before the program
    // (or a test) goes on.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void DraftKeeper::written(quint64 request, const std::optional<FileError> &error)
{
    if (error) {
        // Asked again at the next pause, unless a newer save is under way.
        if (m_asked && request == m_writer.lastRequest())
            m_asked.reset();
        reportFailure(*error);
        return;
    }
    m_reportedFailure = false;
    // The left draft goes only once this copy's own draft holds the set, so
    // a kill at any moment leaves the set in one of the two.
    if (!m_leftBehind.isEmpty() && request >= m_restoreRequest) {
        removeDraft(m_leftBehind);
        m_leftBehind.clear();
    }
}

void DraftKeeper::reportFailure(const FileError &error)
{
    // Said once while saving keeps failing: a box on every pause in typing
    // would make the editor unusable. A failure after a draft was written
    // again is said again.
    if (m_reportedFailure)
        return;
    m_reportedFailure = true;
    m_desktop.warning(
        tr("編集内容の下書きを保存できませんでした。\n%1\n理由: %2").arg(error.path, error.reason));
}

void DraftKeeper::markClean()
{
    m_clean = m_editor.pageSet();
    saveNow();
}

void DraftKeeper::offerRestore()
{
    for (const QString &left : draftsBeside(m_settingsFile)) {
        if (left == m_path)
            continue;
        // Held until the question is answered, so that a copy starting
        // meanwhile neither asks about this draft too nor takes its slot.
        // A folder this program cannot write to (a read-only mount) still
        // has its drafts offered: they can be read and restored, only not
        // removed.
        const DraftLockAttempt attempt = lockDraft(left, LockFolder::ReadOnly);
        if (!attempt.lock.held() && !attempt.nobodyCanHold)
            continue; // another running copy's, or not ours to judge
        const DraftOnDisk found = takeDraft(left);
        if (found.state == DraftOnDisk::State::Unreadable) {
            m_desktop.warning(tr("前回の編集内容の下書きを読み込めませんでした。\n%1\n理由: %2")
                                  .arg(found.error->path, found.error->reason));
            continue;
        }
        if (found.state == DraftOnDisk::State::Damaged) {
            m_desktop.warning(
                found.setAsidePath.isEmpty()
                    ? tr("前回の編集内容の下書きが壊れているため、読み込めませんでした。\n%1")
                          .arg(left)
                    : tr("前回の編集内容の下書きが壊れているため、読み込めませんでした。\n"
                         "%1 に移しました。")
                          .arg(found.setAsidePath));
            continue;
        }
        if (found.state == DraftOnDisk::State::Found) {
            offer(left, found.set);
            return;
        }
    }
}

void DraftKeeper::offer(const QString &left, const PageSet &set)
{
    QMessageBox box(QMessageBox::Question, kApplicationTitle, question(), QMessageBox::NoButton,
                    m_window);
    box.setObjectName(QStringLiteral("DraftQuestion"));
    box.setTextFormat(Qt::PlainText);
    QPushButton *restore = box.addButton(tr("復元する"), QMessageBox::AcceptRole);
    restore->setObjectName(QStringLiteral("DraftRestore"));
    QPushButton *discard = box.addButton(tr("破棄する"), QMessageBox::DestructiveRole);
    discard->setObjectName(QStringLiteral("DraftDiscard"));
    box.setDefaultButton(restore);
    // Closing the box without an answer restores: nothing is thrown away unasked.
    box.setEscapeButton(restore);
    box.exec();

    if (box.clickedButton() == discard) {
        removeDraft(left);
        return;
    }
    m_editor.showPageSet(set);
    if (isClean(set)) { // a set with nothing in it needs no draft at all
        removeDraft(left);
        return;
    }
    m_asked.reset();
    saveNow();
    if (m_asked) {
        m_leftBehind = left;
        m_restoreRequest = m_writer.lastRequest();
    }
    // The user waited for the question anyway: the restored set is on disk
    // before the editing starts.
    waitForWriter();
}

} // namespace zelmora
