// Publishing through the real command to real servers on 127.0.0.1, one
// table of steps run in order for each protocol: every step checks what was
// sent, what the user was told, that the server holds exactly the set's
// expected files beside its own untouched ones, and that the password is in
// no file the program wrote nor in the process's arguments or environment.

#include "support/test_windows.h"
#include "core/places/program_paths.h"
#include "core/publish/host_trust.h"
#include "core/publish/publish_command.h"
#include "core/publish/remote_folder.h"
#include "core/settings/settings_file.h"
#include "support/record_editor.h"
#include "support/recording_desktop.h"
#include "support/sample_sets.h"
#include "test_servers.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;
using Result = PublishOutcome::Result;

namespace {

enum class Act {
    None, ChangePage1, Shorten, ForgetTrust, NewIdentity, WrongPassword, FullDisk, KillMidFile, CancelMidFile,
    NoSuchHost, ClosedPort, KeyFile, UnknownKey, Html5, FolderBelowLogin, KnownHostsChanged
};

struct Step {
    const char *what;
    std::vector<Act> acts;
    bool answer; // to every question
    Result result;
    const char *sent, *removed; // names, blank-separated
    const char *says; // in the last message
};

QByteArray randomBytes(qsizetype n)
{
    QByteArray bytes(n, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), n / 4);
    return bytes;
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << qPrintable(path);
}

// The remote folder as names and bytes.
QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> out;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        out.insert(name, readAll(folder + u'/' + name));
    return out;
}

class PublishRoad : public testing::TestWithParam<PublishProtocol> {
protected:
    void SetUp() override
    {
        m_server = TestServer::create(GetParam());
        if (!m_server->start())
            GTEST_SKIP() << qPrintable(m_server->skipReason());
        ASSERT_TRUE(m_work.isValid());
        qputenv("HOME", QFile::encodeName(m_work.path()));
        m_paths = initPortablePaths(m_work.path());
        m_set = sampleSet(QStringLiteral("pub"));
        m_set.page(4) = m_set.page(5) = m_set.page(1); // five pages, to be shortened
        for (const auto &[name, size] : {std::pair{"a.gif", 1000}, {"back.gif", 2000}, {"wide.jpg", 6 << 20}})
            writeAll(m_paths.outputFolder + QLatin1String(name), randomBytes(size));
        // Not the set's: the server's own files, one named like the data page.
        m_outside = {{QStringLiteral("index.html"), randomBytes(100)},
                     {QStringLiteral("pub_data.htm"), randomBytes(50)}};
        for (auto it = m_outside.begin(); it != m_outside.end(); ++it)
            writeAll(m_server->root() + u'/' + it.key(), it.value());
        create();
        // Another site of the user's, of both kinds, in the trusted list.
        writeAll(hostTrustListPath(m_paths.settingsFile),
                 "ssh [example.org]:2222 ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIA==\n"
                 "ftps [example.org]:990 sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=\n");
    }

    void create()
    {
        RecordEditor editor(m_set);
        RecordingDesktop desktop;
        desktop.answer = true;
        createSet(test::commandContext(editor, m_state, m_paths, desktop));
        for (const auto &call : desktop.calls)
            ASSERT_NE(call.kind, RecordingDesktop::Call::Warning) << qPrintable(call.text);
    }

    void restart()
    {
        ASSERT_TRUE(m_server->start()) << qPrintable(m_server->skipReason());
    }

    // FTPS logs in with a password only: there the key file acts leave
    // the password, and an unknown key is a wrong password.
    void arrange(Act act, std::function<void(PublishWorker &, const QString &, qint64)> *hook,
                 PublishRequest *request)
    {
        const bool sftp = GetParam() == PublishProtocol::Sftp;
        switch (act) {
        case Act::None:
            return;
        case Act::ChangePage1:
            m_set.page(1).text += QStringLiteral("！");
            return create();
        case Act::Shorten:
            m_set.page(4).kind = PageKind::None;
            return create();
        case Act::ForgetTrust:
            QFile::remove(hostTrustListPath(m_paths.settingsFile));
            return;
        case Act::NewIdentity:
            m_server->renewIdentity();
            return restart();
        case Act::WrongPassword:
            request->secrets.password = QStringLiteral("not-") + request->secrets.password;
            return;
        case Act::NoSuchHost:
            request->site.host = QStringLiteral("no-such-host.invalid");
            return;
        case Act::ClosedPort:
            request->site.port = TestServer::freePort();
            return;
        case Act::KeyFile:
        case Act::UnknownKey:
            if (!sftp)
                return arrange(act == Act::UnknownKey ? Act::WrongPassword : Act::None, hook, request);
            request->site.auth = PublishAuth::KeyFile;
            // The server's own host key is a key it does not know as the user's.
            request->site.keyFile = m_server->keyFile(act == Act::KeyFile);
            request->secrets.password.clear();
            return;
        case Act::FolderBelowLogin:
            // The FTP server logs in to the served folder itself.
            request->site.folder = sftp ? QDir(m_server->loginFolder()).relativeFilePath(m_server->root())
                                        : QStringLiteral(".");
            return;
        case Act::KnownHostsChanged:
            if (!sftp)
                return arrange(Act::NewIdentity, hook, request);
            // The user's own list names another key for this server.
            QDir().mkpath(m_work.path() + QStringLiteral("/.ssh"));
            writeAll(m_work.path() + QStringLiteral("/.ssh/known_hosts"),
                     knownHostName(request->site.host, request->site.port).toUtf8() + ' '
                         + readAll(m_server->keyFile(true) + QStringLiteral(".pub")));
            return;
        case Act::Html5:
            ASSERT_FALSE(writeIniString(kSettingsSection, kKeyKeishiki, QStringLiteral("1"), m_paths.settingsFile));
            return create();
        case Act::FullDisk:
            m_server->limitFileSize(1 << 20);
            restart();
            m_server->limitFileSize(0);
            m_restartAfter = true;
            [[fallthrough]];
        case Act::KillMidFile:
        case Act::CancelMidFile:
            writeAll(m_paths.outputFolder + QStringLiteral("wide.jpg"), randomBytes(6 << 20));
            if (act == Act::FullDisk)
                return;
            *hook = [this, act, fired = false, start = qint64(-1)](PublishWorker &worker, const QString &file,
                                                                   qint64 done) mutable {
                if (file != QStringLiteral("wide.jpg") || fired)
                    return;
                if (start < 0)
                    start = done;
                else if (done > start) {
                    fired = true;
                    act == Act::KillMidFile ? m_server->killWriter() : worker.cancel();
                }
            };
            return;
        }
    }

    std::unique_ptr<TestServer> m_server;
    QTemporaryDir m_work;
    ProgramPaths m_paths;
    EditorState m_state;
    PageSet m_set; // as last created
    QMap<QString, QByteArray> m_outside;
    bool m_restartAfter = false;
};

class HookedProgress : public PublishProgress {
public:
    std::function<void(PublishWorker &, const QString &, qint64)> hook;
    void run(PublishWorker &worker) override
    {
        if (hook)
            QObject::connect(&worker, &PublishWorker::progress, &worker,
                             [&](const QString &file, qint64 done, qint64) { hook(worker, file, done); },
                             Qt::DirectConnection);
        worker.runAndWait();
    }
};

const char *const kWholeSet = "pub_1.htm pub_2.htm pub_3.htm pub_4.htm pub_5.htm a.gif wide.jpg back.gif";
const char *const kPage1 = "pub_1.htm";

const std::vector<Step> kSteps = {
    {"first publish, the server trusted on はい", {}, true, Result::Published, kWholeSet, "", "を公開しました"},
    {"a second publish sends nothing", {}, true, Result::NothingToSend, "", "", "送るファイルはありません"},
    {"one page changed sends one file", {Act::ChangePage1}, true, Result::Published, kPage1, "", "送ったファイル: 1"},
    {"a shortened set, stale pages kept on いいえ", {Act::Shorten}, false, Result::Published, "pub_3.htm", "", "を公開しました"},
    {"the stale pages removed on はい", {}, true, Result::Published, "", "pub_4.htm pub_5.htm",
     "削除したページ: 「pub_4.htm」「pub_5.htm」"},
    {"a changed host key or certificate is refused", {Act::NewIdentity, Act::ChangePage1}, true, Result::Failed, "", "",
     "以前に信頼した"},
    {"an unknown server answered いいえ sends nothing", {Act::ForgetTrust}, false, Result::Declined, "", "", "まだ信頼されていません|確認できませんでした"},
    {"trusted again on はい", {}, true, Result::Published, kPage1, "", "送ったファイル: 1"},
    {"a wrong password sends nothing", {Act::ChangePage1, Act::WrongPassword}, true, Result::Failed, "", "",
     "ユーザー名かパスワードが違います"},
    {"a name not found", {Act::NoSuchHost}, true, Result::Failed, "", "", "が見つかりません"},
    {"a port that refuses", {Act::ClosedPort}, true, Result::Failed, "", "", "接続を拒否されました"},
    {"a full disk part-way keeps the old file", {Act::FullDisk}, true, Result::Failed, kPage1, "",
     "サーバーの古いファイルはそのままです"},
    {"the server killed mid-file keeps the old file", {Act::KillMidFile}, true, Result::Failed, "", "", "接続が切れました"},
    {"キャンセル mid-file keeps the old file", {Act::CancelMidFile}, true, Result::Cancelled, "", "", "キャンセルしました"},
    {"the next publish sends what is left", {}, true, Result::Published, "wide.jpg", "", "を公開しました"},
    {"a key the server does not know sends nothing", {Act::UnknownKey, Act::ChangePage1}, true, Result::Failed, "", "",
     "鍵を受け入れませんでした|パスワードが違います"},
    {"a key file logs in", {Act::KeyFile}, true, Result::Published, kPage1, "", "送ったファイル: 1"},
    {"an HTML5 set sends its pages and the files beside them", {Act::Html5}, true, Result::Published,
     "pub_1.htm pub_2.htm pub_3.htm pub_popleaf.js pub_popleaf.css", "", "送ったファイル: 5"},
    {"the folder given from the login folder, a site of its own", {Act::FolderBelowLogin}, true, Result::Published,
     "pub_1.htm pub_2.htm pub_3.htm pub_popleaf.js pub_popleaf.css a.gif wide.jpg back.gif", "", "送ったファイル: 8"},
    {"a key that known_hosts names otherwise is refused", {Act::KnownHostsChanged, Act::ChangePage1}, true,
     Result::Failed, "", "", "以前に信頼した"},
};

TEST_P(PublishRoad, eachStep_sendsOnlyTheSetsChangesAndKeepsOldFilesWhole)
{
    QMap<QString, QByteArray> expected = m_outside;
    for (const Step &step : kSteps) {
        SCOPED_TRACE(step.what);
        if (!m_server->isRunning() || std::exchange(m_restartAfter, false))
            restart();
        HookedProgress progress;
        PublishRequest request{QStringLiteral("pub"), QStringLiteral(".htm"), m_server->site(), {}, false};
        request.secrets.password = m_server->password();
        for (Act act : step.acts)
            arrange(act, &progress.hook, &request);
        RecordingDesktop desktop;
        desktop.answer = step.answer;
        const PublishOutcome outcome = runPublishCommand(request, m_paths, desktop, progress);

        EXPECT_EQ(int(outcome.result), int(step.result));
        EXPECT_EQ(outcome.sent.join(u' ').toStdString(), step.sent);
        EXPECT_EQ(outcome.removed.join(u' ').toStdString(), step.removed);
        ASSERT_FALSE(desktop.calls.isEmpty());
        const QString said = desktop.calls.last().text;
        EXPECT_TRUE(said.contains(QRegularExpression(QString::fromUtf8(step.says)))) << qPrintable(said);
        for (const QString &name : QString::fromLatin1(step.sent).split(u' ', Qt::SkipEmptyParts))
            expected[name] = readAll(m_paths.outputFolder + name);
        for (const QString &name : QString::fromLatin1(step.removed).split(u' ', Qt::SkipEmptyParts))
            expected.remove(name);
        auto remote = folderContents(m_server->root());
        // A killed server could not let the partial file be removed; the next
        // publish removes it.
        if (std::find(step.acts.begin(), step.acts.end(), Act::KillMidFile) != step.acts.end())
            remote.remove(temporaryName(QStringLiteral("wide.jpg")));
        EXPECT_EQ(remote.keys().join(u' ').toStdString(), expected.keys().join(u' ').toStdString());
        for (auto it = expected.begin(); it != expected.end(); ++it)
            EXPECT_TRUE(remote.value(it.key()) == it.value()) << qPrintable(it.key()) << " differs";
        expectSecretNowhere(m_work.path(), m_server->password());
    }
}

TEST(PublishSiteFile, roundTripsAndReadsAnAuthOutOfRangeAsPassword)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Zelmora.ini"));
    const PublishSite site{PublishProtocol::Sftp, QStringLiteral("h"), 65535, QStringLiteral("u"),
                           QStringLiteral("/w"), PublishAuth::KeyFile, QStringLiteral("/k"), true};
    ASSERT_FALSE(writePublishSite(site, ini));
    EXPECT_EQ(readPublishSite(ini), site);
    for (const char *auth : {"-1", "3"}) {
        ASSERT_FALSE(writeIniString(kPublishSection, QStringLiteral("Auth"), QString::fromLatin1(auth), ini));
        EXPECT_EQ(readPublishSite(ini)->auth, PublishAuth::Password) << auth;
    }
}

INSTANTIATE_TEST_SUITE_P(BothProtocols, PublishRoad,
                         testing::Values(PublishProtocol::Sftp, PublishProtocol::Ftps),
                         [](const auto &info) {
                             return info.param == PublishProtocol::Sftp ? "Sftp" : "Ftps";
                         });

} // namespace
