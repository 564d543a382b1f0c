#include "core/commands/commands.h"

#include "core/generate/data_page.h"
#include "core/generate/popup_page.h"
#include "core/generate/set_writer.h"
#include "core/model/texts.h"
#include "core/settings/settings_file.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {

std::optional<int> settingAsInteger(const QString &value)
{
    const QString text = value.trimmed();
    // Digits with an optional sign only: "1.5", "0x1" or "1e2" are no whole
    // decimal number.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool sign = i == 0 && (c == u'+' || c == u'-');
        if (!sign && (c < u'0' || c > u'9'))
            return std::nullopt;
    }
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < std::numeric_limits<qint16>::min()
        || number > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return number;
}

QString createdPagesMessage(const QString &title, const QString &ext, int n)
{
    const QString first = popupPageFileName(title, 1, ext);
    if (n < 2)
        return Texts::tr("ポップリーフ [ %1 ] を作成しました｡").arg(first);
    return Texts::tr("ポップリーフ [ %1 ] ～ [ %2 ] を作成しました｡")
        .arg(first, popupPageFileName(title, n, ext));
}

namespace {

struct CreateSettings {
    int dousa = 1;
    PopupSettings popup;
    int kakucyosi = 0;
    std::unique_ptr<SetWriter> writer;
};

// The settings in the order they are read; the message for the first
// one that is not a number.
std::optional<CreateSettings> readCreateSettings(const QString &path, QString *problem)
{
    const StoredSettings stored = readStoredSettings(path);
    CreateSettings out;
    const struct {
        const QString &key;
        const QString &value;
        int *target;
    } numbers[] = {
        {kKeyDousa, stored.DousaSettei, &out.dousa},
        {kKeyKensaku, stored.KensakuSettei, &out.popup.robotsMode},
        {kKeyKakucyosi, stored.KakucyosiSettei, &out.kakucyosi},
    };
    for (const auto &n : numbers) {
        const auto value = settingAsInteger(n.value);
        if (!value) {
            *problem = Texts::tr("設定ファイルの %1 の値「%2」は数値ではありません。\n%3\n"
                                 "オプション設定を開いて閉じると、正しい値に書き直されます。")
                           .arg(n.key, n.value, path);
            return std::nullopt;
        }
        *n.target = *value;
    }
    out.popup.homeName = stored.HomeName;
    out.popup.homeURL = stored.HomeURL;
    out.writer = setWriterOf(stored);
    return out;
}

// The message for a name longer than the output folder's file system takes;
// nullopt when it fits or the limit cannot be learnt (a missing folder is
// reported by the write).
std::optional<QString> nameTooLongMessage(const QString &folder, const QString &name)
{
    const long maxBytes = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    if (maxBytes <= 0 || QFile::encodeName(name).size() <= maxBytes)
        return std::nullopt;
    return Texts::tr("タイトル名が長すぎて、ファイルを作成できません。\n%1\n理由: %2")
        .arg(QDir::toNativeSeparators(folder + name), systemErrorText(ENAMETOOLONG));
}

bool isRegularFile(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// What replacing a set named title + ext in the folder by one of n pages in
// writer's format leaves stale: its pages beyond page n and the files it was
// written with that this format does not write. Regular files only, so that
// a link or folder of that name is never deleted, and of the files beside the
// pages only those this program wrote.
QStringList staleFiles(const QString &folder, const QString &title, const QString &ext, int n,
                       const SetWriter &writer)
{
    QStringList names;
    for (int k = n + 1; k <= kPageCount; ++k) {
        const QString name = popupPageFileName(title, k, ext);
        if (isRegularFile(folder + name))
            names << name;
    }
    const QStringList kept = writer.companionFiles(title);
    for (const QString &name : allCompanionFiles(title)) {
        if (!kept.contains(name) && isRegularFile(folder + name)
            && isWrittenCompanion(folder + name))
            names << name;
    }
    return names;
}

bool setExists(const QString &folder, const QString &title, const QString &ext)
{
    for (int k = 1; k <= kPageCount; ++k) {
        struct stat st {};
        if (::lstat(QFile::encodeName(folder + popupPageFileName(title, k, ext)).constData(), &st)
            == 0)
            return true;
    }
    return false;
}

QString replaceQuestion(const QString &title, const QStringList &beyond)
{
    const QString question = Texts::tr("「%1」はすでにあります。置き換えますか？").arg(title);
    if (beyond.isEmpty())
        return question;
    return Texts::tr("%1\n置き換えると、新しいセットにないファイル（%2）は削除されます。")
        .arg(question, beyond.join(Texts::tr("、")));
}

} // namespace

void createSet(const CommandContext &context)
{
    auto &[editor, state, paths, desktop, windows] = context;
    const BusyCursor busy(desktop);
    const PageSet set = editor.pageSet();
    if (const auto fault = setContentFault(set)) {
        desktop.warning(*fault);
        return;
    }
    state.lastTitle = set.title;
    const QString body = bodyAttribute(set.backgroundAttribute, set.backgroundValue);

    QString problem;
    const auto settings = readCreateSettings(paths.settingsFile, &problem);
    if (!settings) {
        desktop.warning(problem);
        return;
    }
    if (settings->kakucyosi == 0)
        state.extension = QStringLiteral(".htm");
    else if (settings->kakucyosi == 1)
        state.extension = QStringLiteral(".html");

    const int n = pageCount(set);
    if (n == 0)
        return;
    // The data page has the longest name of the set; a title too long for it
    // is refused before the first page, so that no set is left without its
    // data page.
    if (auto tooLong = nameTooLongMessage(paths.outputFolder,
                                          dataPageFileName(state.lastTitle, state.extension))) {
        desktop.warning(*tooLong);
        return;
    }

    // Another set of this name is replaced only when the user says so; the
    // set the editor reopened is updated without a question. Either way its
    // pages beyond the new last page go, so that no orphan page is left.
    const SetWriter *writer = settings->writer.get();
    const QStringList beyond
        = staleFiles(paths.outputFolder, state.lastTitle, state.extension, n, *writer);
    if (state.reopenedSet != state.lastTitle + state.extension
        && setExists(paths.outputFolder, state.lastTitle, state.extension)
        && !desktop.question(replaceQuestion(state.lastTitle, beyond)))
        return;

    // The files the pages use first, then one page at a time, each complete
    // before the next; a file that fails ends the command, leaving the files
    // before it and the editor as they are.
    if (auto error
        = writer->writeCompanions(paths.outputFolder, state.lastTitle, state.extension, set)) {
        desktop.warning(error->writeMessage());
        return;
    }
    for (int k = 1; k <= n; ++k) {
        const Page &page = set.page(k);
        PopupPage popup;
        popup.title = state.lastTitle;
        popup.k = k;
        popup.ext = state.extension;
        popup.linked = isLinkedPage(set, k);
        popup.settings = settings->popup;
        popup.body = body;
        popup.kind = page.kind;
        popup.text = replaceLineBreaks(page.text);
        popup.file = pictureFile(page);
        popup.alt = pictureAlt(page);
        popup.encoding = writer->encoding();
        const auto error = writer->writePage(paths.outputFolder, popup, set);
        if (error) {
            desktop.warning(error->writeMessage());
            return;
        }
        state.contents(k) = contentsDescription(page);
    }

    QStringList notRemoved;
    for (const QString &name : beyond) {
        if (::unlink(QFile::encodeName(paths.outputFolder + name).constData()) != 0
            && errno != ENOENT)
            notRemoved << Texts::tr("%1\n理由: %2")
                              .arg(QDir::toNativeSeparators(paths.outputFolder + name),
                                   systemErrorText(errno));
    }

    // Every file is on disk before the first message shows: a user who ends
    // the program while a message is open loses no part of the set.
    const auto dataPageError = writer->writeDataPage(paths.outputFolder, state, n);
    desktop.information(createdPagesMessage(state.lastTitle, state.extension, n));
    if (!notRemoved.isEmpty())
        desktop.warning(Texts::tr("前のセットの古いファイルを削除できませんでした。\n%1")
                            .arg(notRemoved.join(u'\n')));
    if (dataPageError) {
        desktop.warning(dataPageError->writeMessage());
        return;
    }
    // The editor is emptied: it holds no reopened set any more.
    state.reopenedSet.clear();
    finishDataPage(settings->dousa, editor, state, paths.outputFolder, desktop);
}

} // namespace zelmora
