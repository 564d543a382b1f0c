// The 公開 button of the real main window against a real sshd, with the
// keyring a gnome-keyring-daemon on a private bus (with_keyring.sh): the
// first publish offers 作成, asks for the site and the server's trust; the
// second finds the password in the keyring and asks nothing more.

#include "app/main_window.h"
#include "core/places/program_paths.h"
#include "core/publish/publish_site.h"
#include "publish/test_servers.h"
#include "support/recording_desktop.h"
#include "support/sample_sets.h"
#include "support/ui_test_support.h"
#include "ui/publish/keyring.h"
#include "ui/publish/publish_windows.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {

TEST(PublishWindow, firstPublishAsksSiteAndTrust_secondTakesThePasswordFromTheKeyring)
{
    const auto server = TestServer::create(PublishProtocol::Sftp);
    if (!server->start())
        GTEST_SKIP() << qPrintable(server->skipReason());
    QTemporaryDir dir;
    qputenv("HOME", QFile::encodeName(dir.path()));
    RecordingDesktop desktop;
    desktop.answer = true;
    MainWindow window(desktop, initPortablePaths(dir.path()));
    for (const char *picture : {"a.gif", "wide.jpg", "back.gif"}) {
        QFile file(window.paths().outputFolder + QString::fromLatin1(picture));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(picture) > 0);
    }
    PageSet set = sampleSet(QStringLiteral("web"));
    window.showPageSet(set);
    const PublishSite site = server->site();
    const QString password = server->password();

    onNextModal([&](QWidget *dialog) {
        ASSERT_EQ(dialog->objectName(), QStringLiteral("PublishSite"));
        child<QLineEdit>(dialog, QStringLiteral("SiteHost"))->setText(site.host);
        child<QSpinBox>(dialog, QStringLiteral("SitePort"))->setValue(site.port);
        child<QLineEdit>(dialog, QStringLiteral("SiteUser"))->setText(site.user);
        child<QLineEdit>(dialog, QStringLiteral("SiteFolder"))->setText(site.folder);
        child<QLineEdit>(dialog, QStringLiteral("SitePassword"))->setText(password);
        child<QCheckBox>(dialog, QStringLiteral("SiteRemember"))->setChecked(true);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    child<QAbstractButton>(&window, QStringLiteral("Publish_btn"))->click();
    QList<Call::Kind> asked;
    for (const Call &call : desktop.calls)
        asked << call.kind;
    // 作成 offered, its two reports and the data page, the trust question, the report.
    EXPECT_EQ(asked, (QList<Call::Kind>{Call::Question, Call::Information, Call::Information, Call::Open,
                                        Call::Question, Call::Information}));
    EXPECT_TRUE(desktop.calls.last().text.contains(QStringLiteral("送ったファイル: 6"))) << qPrintable(desktop.calls.last().text);
    EXPECT_EQ(readAll(server->root() + QStringLiteral("/web_1.htm")), readAll(window.paths().outputFolder + QStringLiteral("web_1.htm")));
    EXPECT_EQ(Keyring::read(site.identity() + QStringLiteral("#password")), password);
    const QByteArray ini = readAll(window.paths().settingsFile);
    EXPECT_TRUE(ini.contains("Host=127.0.0.1")) << ini.constData();

    desktop.calls.clear();
    set.page(1).text += QStringLiteral("！");
    window.showPageSet(set);
    child<QAbstractButton>(&window, QStringLiteral("Publish_btn"))->click();
    ASSERT_FALSE(desktop.calls.isEmpty());
    EXPECT_TRUE(desktop.calls.last().text.contains(QStringLiteral("送ったファイル: 1"))) << qPrintable(desktop.calls.last().text);

    expectSecretNowhere(dir.path(), password);

    // 公開先の設定 with 記憶する unticked forgets the password (the dialog
    // opens after the keyring has been read: more tries).
    onNextModal([](QWidget *dialog) {
        child<QCheckBox>(dialog, QStringLiteral("SiteRemember"))->setChecked(false);
        QMetaObject::invokeMethod(dialog, "accept");
    }, 1 << 20);
    editPublishSiteWindow(&window, window.paths(), desktop);
    EXPECT_EQ(Keyring::read(site.identity() + QStringLiteral("#password")), std::nullopt);
}

} // namespace
