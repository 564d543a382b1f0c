#include "test_servers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace zelmora::test {

namespace {

const QString kSshUser = QStringLiteral("zelmora-sftp");

QString freshSecret()
{
    return QString::number(QRandomGenerator::system()->generate64(), 36) + QStringLiteral("Pw");
}

// "pid (name) state ppid ...", the name may hold blanks.
pid_t parentOf(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    return pid_t(text.mid(text.lastIndexOf(')') + 2).split(' ').value(1).toInt());
}

QList<pid_t> descendantsOf(pid_t root)
{
    QList<pid_t> tree{root};
    for (qsizetype i = 0; i < tree.size(); ++i) {
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            if (entry.toInt() > 0 && parentOf(pid_t(entry.toInt())) == tree[i])
                tree << pid_t(entry.toInt());
        }
    }
    return tree.mid(1);
}

bool writeText(const QString &path, const QString &text,
               QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0
        && (file.close(), file.setPermissions(permissions));
}

class SshServer final : public TestServer {
public:
    SshServer() { m_protocol = PublishProtocol::Sftp; }

    bool start() override
    {
        stop();
        const QString d = m_dir.path();
        if (!QFileInfo::exists(QStringLiteral("/usr/sbin/sshd")))
            return fail(QStringLiteral("/usr/sbin/sshd is missing (make deps installs openssh-server)"));
        if (!prepareUser())
            return false;
        if (!QFileInfo::exists(d + QStringLiteral("/host_key")))
            renewIdentity();
        if (!QFileInfo::exists(d + QStringLiteral("/user_key"))
            && !run(QStringLiteral("sh -c \"ssh-keygen -q -t ed25519 -N '' -f %1/user_key\"").arg(d)))
            return fail(QStringLiteral("ssh-keygen failed"));
        QFile::copy(d + QStringLiteral("/user_key.pub"), d + QStringLiteral("/authorized_keys"));
        writeText(d + QStringLiteral("/sftp.sh"),
                  QStringLiteral("#!/bin/sh\n%1exec /usr/lib/openssh/sftp-server\n").arg(ignoreFullFile()),
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        writeText(d + QStringLiteral("/sshd_config"),
                  QStringLiteral("Port %1\nListenAddress 127.0.0.1\nHostKey %2/host_key\nPidFile %2/sshd.pid\n"
                                 "UsePAM no\nPasswordAuthentication yes\nKbdInteractiveAuthentication no\n"
                                 "PubkeyAuthentication yes\nAuthorizedKeysFile %2/authorized_keys\n"
                                 "StrictModes no\nAllowUsers %3\nSubsystem sftp %2/sftp.sh\nLogLevel ERROR\n")
                      .arg(m_port).arg(d, m_user));
        m_process.startCommand(QStringLiteral("/usr/sbin/sshd -D -e -f %1/sshd_config").arg(d));
        return waitForPort() || fail(QStringLiteral("sshd did not start"));
    }

    // Every session process under the listener (the sftp-server and the
    // sshd processes that hold the connection): the client sees the server
    // die, not a closed channel; the listener takes the next login.
    void killWriter() override
    {
        for (pid_t pid : descendantsOf(pid_t(m_process.processId())))
            ::kill(pid, SIGKILL);
    }

    void renewIdentity() override
    {
        run(QStringLiteral("sh -c \"rm -f %1/host_key*; ssh-keygen -q -t ed25519 -N '' -f %1/host_key\"").arg(m_dir.path()));
    }
};

class FtpsServer final : public TestServer {
public:
    FtpsServer() { m_protocol = PublishProtocol::Ftps; }

    bool start() override
    {
        stop();
        const QString d = m_dir.path();
        if (!QFileInfo::exists(QStringLiteral("/usr/sbin/vsftpd")))
            return fail(QStringLiteral("/usr/sbin/vsftpd is missing (make deps installs vsftpd)"));
        if (!prepareUser())
            return false;
        if (!QFileInfo::exists(d + QStringLiteral("/cert.pem")))
            renewIdentity();
        writeText(d + QStringLiteral("/vsftpd.conf"),
                  QStringLiteral("listen=YES\nlisten_address=127.0.0.1\nlisten_port=%1\nbackground=NO\n"
                                 "anonymous_enable=NO\nlocal_enable=YES\nwrite_enable=YES\nlocal_umask=022\n"
                                 "local_root=%2\nssl_enable=YES\nforce_local_logins_ssl=YES\n"
                                 "force_local_data_ssl=YES\nrsa_cert_file=%3/cert.pem\n"
                                 "rsa_private_key_file=%3/key.pem\npam_service_name=vsftpd\n"
                                 "seccomp_sandbox=NO\nsecure_chroot_dir=/var/run/vsftpd/empty\n")
                      .arg(m_port).arg(root(), d));
        m_process.start(QStringLiteral("/bin/sh"),
                        {QStringLiteral("-c"), ignoreFullFile() + QStringLiteral("exec /usr/sbin/vsftpd \"$0\""),
                         d + QStringLiteral("/vsftpd.conf")});
        return waitForPort() || fail(QStringLiteral("vsftpd did not start"));
    }

    // The server and the session processes it forked.
    void killWriter() override
    {
        QList<pid_t> all = descendantsOf(pid_t(m_process.processId()));
        all << pid_t(m_process.processId());
        for (pid_t pid : all)
            ::kill(pid, SIGKILL);
    }

    void renewIdentity() override
    {
        const QString d = m_dir.path();
        run(QStringLiteral("openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=localhost -days 2 "
                           "-keyout %1/key.pem -out %1/cert.pem").arg(d));
    }
};

} // namespace

TestServer::TestServer() : m_password(freshSecret()) {}

TestServer::~TestServer()
{
    stop();
}

std::unique_ptr<TestServer> TestServer::create(PublishProtocol protocol)
{
    if (protocol == PublishProtocol::Sftp)
        return std::make_unique<SshServer>();
    return std::make_unique<FtpsServer>();
}

bool TestServer::isRunning()
{
    // A server killed a moment ago still counts as running until its end
    // is collected, which a short wait does.
    return m_process.state() == QProcess::Running && !m_process.waitForFinished(100);
}

void TestServer::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        // The sessions too: one left behind would hold the test's output open.
        for (pid_t pid : descendantsOf(pid_t(m_process.processId())))
            ::kill(pid, SIGKILL);
        m_process.kill();
        m_process.waitForFinished();
    }
}

PublishSite TestServer::site() const
{
    PublishSite site;
    site.protocol = m_protocol;
    site.host = QStringLiteral("127.0.0.1");
    site.port = m_port;
    site.user = m_user;
    // The FTP server logs in to root().
    site.folder = m_protocol == PublishProtocol::Sftp ? root() : QString();
    return site;
}

QString TestServer::loginFolder()
{
    const passwd *account = ::getpwnam(kSshUser.toUtf8().constData());
    return account ? QString::fromLocal8Bit(account->pw_dir) : QString();
}

bool TestServer::fail(const QString &why)
{
    m_skipReason = why;
    return false;
}

int TestServer::freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// The writer ignores SIGXFSZ, so that a file-size limit fails a write as a
// full disk does instead of killing the writer.
QString TestServer::ignoreFullFile() const
{
    return m_fileSizeLimit ? QStringLiteral("trap '' XFSZ\nulimit -f %1\n").arg((m_fileSizeLimit + 511) / 512)
                           : QString();
}

// The account both servers log the test in as, with a fresh password, and
// the served folder it owns; both servers check the password themselves,
// which only root may have them do.
bool TestServer::prepareUser()
{
    if (!m_port)
        m_port = freePort();
    if (!m_user.isEmpty())
        return true;
    if (::geteuid() != 0)
        return fail(QStringLiteral("the servers check a password only when they run as root"));
    const QByteArray name = kSshUser.toUtf8();
    if (!::getpwnam(name.constData())
        && !run(QStringLiteral("useradd -m -s /bin/sh ") + kSshUser))
        return fail(QStringLiteral("cannot add the user ") + kSshUser);
    const passwd *account = ::getpwnam(name.constData());
    if (!account || !QDir().mkpath(QString::fromLocal8Bit(account->pw_dir)))
        return fail(QStringLiteral("no home folder for ") + kSshUser);
    m_user = kSshUser;
    if (!run(QStringLiteral("chpasswd"), (m_user + u':' + m_password + u'\n').toUtf8()))
        return fail(QStringLiteral("chpasswd failed"));
    QDir().mkpath(QStringLiteral("/run/sshd"));
    const QString d = m_dir.path();
    QFile(d).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                            | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    QDir(d).mkdir(QStringLiteral("www"));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    return run(QStringLiteral("chown %1 %2 %3").arg(m_user, root(), QString::fromLocal8Bit(account->pw_dir)))
        || fail(QStringLiteral("chown failed"));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void expectSecretNowhere(const QString &folder, const QString &secret)
{
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        EXPECT_FALSE(readAll(path).contains(secret.toUtf8())) << qPrintable(path);
    }
    for (const char *proc : {"/proc/self/cmdline", "/proc/self/environ"})
        EXPECT_FALSE(readAll(QString::fromLatin1(proc)).contains(secret.toUtf8())) << proc;
}

bool TestServer::waitForPort()
{
    for (int i = 0; i < 100; ++i) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(m_port));
        if (socket.waitForConnected(100))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(50);
    }
    return false;
}

bool TestServer::run(const QString &command, const QByteArray &input)
{
    QProcess process;
    process.startCommand(command);
    process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

} // namespace zelmora::test
