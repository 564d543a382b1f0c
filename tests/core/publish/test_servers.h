#pragma once

#include "core/publish/publish_site.h"

#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace zelmora::test {

// A real server on 127.0.0.1 that a test starts and stops: OpenSSH's sshd
// with an sftp-server of its own, or vsftpd with TLS required. Each serves the
// folder root() to one user with a fresh password (as root only: both
// check the password against the system's accounts); skipReason() says why
// it could not start.
class TestServer {
public:
    virtual ~TestServer();
    static std::unique_ptr<TestServer> create(PublishProtocol protocol);

    // Starts (again, with what the last run left on disk); false with
    // skipReason() set when the server cannot run here.
    virtual bool start() = 0;
    void stop();
    bool isRunning();
    // Kills the process that writes the files, as a crash would.
    virtual void killWriter() = 0;
    // A new host key or certificate, for the next start.
    virtual void renewIdentity() = 0;
    // The largest file it can write from the next start on; 0: no limit.
    void limitFileSize(qint64 bytes) { m_fileSizeLimit = bytes; }

    PublishSite site() const;
    const QString &password() const { return m_password; }
    QString root() const { return m_dir.path() + QStringLiteral("/www"); }
    const QString &skipReason() const { return m_skipReason; }
    // A private key: the user's (SFTP), or one the server does not know.
    QString keyFile(bool usersKey) const { return m_dir.path() + QLatin1String(usersKey ? "/user_key" : "/host_key"); }
    static int freePort();
    // The folder a login starts in.
    static QString loginFolder();

protected:
    TestServer();
    bool waitForPort();
    bool fail(const QString &why);
    bool prepareUser();
    QString ignoreFullFile() const;
    bool run(const QString &command, const QByteArray &input = {});

    QTemporaryDir m_dir;
    QProcess m_process;
    PublishProtocol m_protocol = PublishProtocol::Sftp;
    QString m_user;
    QString m_password;
    int m_port = 0;
    qint64 m_fileSizeLimit = 0;
    QString m_skipReason;
};

// A file's bytes ("<missing>" when it cannot be read).
QByteArray readAll(const QString &path);
// The secret in no file under folder, nor in this process's command line or
// environment.
void expectSecretNowhere(const QString &folder, const QString &secret);

} // namespace zelmora::test
