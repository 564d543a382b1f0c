#include "core/publish/remote_folder.h"

#include <QFile>
#include <QUrl>

#include <curl/curl.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <mutex>

namespace zelmora {

namespace {

constexpr long kConnectSeconds = 20;
// A server that takes nothing for this long is given up on.
constexpr long kStallSeconds = 30;

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The key type named at the start of an SSH key blob.
QString keyTypeOf(const QByteArray &blob)
{
    if (blob.size() < 4)
        return {};
    const quint32 n = (quint32(uchar(blob[0])) << 24) | (quint32(uchar(blob[1])) << 16)
        | (quint32(uchar(blob[2])) << 8) | quint32(uchar(blob[3]));
    return n <= quint32(blob.size() - 4) ? QString::fromLatin1(blob.mid(4, n)) : QString();
}

QByteArray quoted(const QString &path)
{
    QByteArray bytes = path.toUtf8();
    bytes.replace("\\", "\\\\").replace("\"", "\\\"");
    return '"' + bytes + '"';
}

class Slist {
public:
    Slist(std::initializer_list<QByteArray> lines)
    {
        for (const QByteArray &line : lines)
            m_list = curl_slist_append(m_list, line.constData());
    }
    ~Slist() { curl_slist_free_all(m_list); }
    curl_slist *get() const { return m_list; }

private:
    curl_slist *m_list = nullptr;
};

// The certificate's SHA-256 fingerprint and the pin of its public key.
bool describeCertificate(const QByteArray &pem, PeerIdentity *peer)
{
    BIO *bio = BIO_new_mem_buf(pem.constData(), int(pem.size()));
    X509 *cert = bio ? PEM_read_bio_X509(bio, nullptr, nullptr, nullptr) : nullptr;
    BIO_free(bio);
    if (!cert)
        return false;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestSize = 0;
    X509_digest(cert, EVP_sha256(), digest, &digestSize);
    peer->fingerprint
        = QStringLiteral("SHA256:")
        + QString::fromLatin1(
              QByteArray(reinterpret_cast<char *>(digest), int(digestSize)).toHex(':'));
    unsigned char *spki = nullptr;
    const int spkiSize = i2d_PUBKEY(X509_get0_pubkey(cert), &spki);
    if (spkiSize > 0) {
        EVP_Digest(spki, size_t(spkiSize), digest, &digestSize, EVP_sha256(), nullptr);
        peer->pin = QStringLiteral("sha256//")
            + QString::fromLatin1(
                        QByteArray(reinterpret_cast<char *>(digest), int(digestSize)).toBase64());
        OPENSSL_free(spki);
    }
    X509_free(cert);
    return !peer->pin.isEmpty();
}

} // namespace

QString temporaryName(const QString &name)
{
    return u'.' + name + QStringLiteral(".zelmora-part");
}

QString keptName(const QString &name)
{
    return u'.' + name + QStringLiteral(".zelmora-old");
}

struct RemoteFolder::Private {
    PublishSite site;
    QByteArray user, password, passphrase, keyFile, knownHosts;
    const HostTrust &trust;
    const std::atomic_bool &cancel;
    CURL *curl = nullptr;
    char errorText[CURL_ERROR_SIZE] = {};
    QByteArray lastReply;
    std::optional<RemoteError::Kind> hostKeyVerdict;
    std::optional<PeerIdentity> peer;
    const std::function<void(qint64)> *sent = nullptr;
    bool ignoreCancel = false;
    QByteArray received;
    QFile *source = nullptr;
    bool probing = false;

    Private(const PublishSite &s, const SiteSecrets &secrets, const HostTrust &t,
            const std::atomic_bool &c) :
        site(s),
        user(s.user.toUtf8()), password(secrets.password.toUtf8()),
        passphrase(secrets.passphrase.toUtf8()), keyFile(QFile::encodeName(s.keyFile)),
        knownHosts(QFile::encodeName(t.knownHostsPath())), trust(t), cancel(c)
    {
    }

    ~Private()
    {
        password.fill('\0');
        passphrase.fill('\0');
        if (curl)
            curl_easy_cleanup(curl);
    }

    bool sftp() const { return site.protocol == PublishProtocol::Sftp; }

    // The path of a name for the SFTP commands after a transfer. Those take
    // no "~": a folder below the login folder is given relative, which the
    // server resolves from the login folder.
    QString remotePath(const QString &name) const
    {
        QString folder = site.folder;
        while (folder.endsWith(u'/') && folder.size() > 1)
            folder.chop(1);
        return folder.isEmpty()     ? name
            : folder.endsWith(u'/') ? folder + name
                                    : folder + u'/' + name;
    }

    QByteArray url(const QString &name) const
    {
        const QString host = site.host.trimmed();
        QByteArray out = (sftp() ? "sftp://" : "ftp://")
            + (host.contains(u':') ? '[' + host.toUtf8() + ']' : QUrl::toAce(host)) + ':'
            + QByteArray::number(site.port);
        QStringList segments = site.folder.split(u'/', Qt::SkipEmptyParts);
        if (sftp() && !site.folder.startsWith(u'/'))
            segments.prepend(QStringLiteral("~"));
        for (qsizetype i = 0; i < segments.size(); ++i) {
            // FTP paths start at the login folder; %2F makes one absolute.
            out += (!sftp() && i == 0 && site.folder.startsWith(u'/')) ? "/%2F" : "/";
            out += segments[i] == u'~' ? QByteArray("~") : QUrl::toPercentEncoding(segments[i]);
        }
        return out + '/' + QUrl::toPercentEncoding(name);
    }

    static int keyCheck(CURL *, const curl_khkey *, const curl_khkey *found, curl_khmatch match,
                        void *data)
    {
        auto *d = static_cast<Private *>(data);
        const QByteArray blob = found->len ? QByteArray(found->key, qsizetype(found->len))
                                           : QByteArray::fromBase64(QByteArray(found->key));
        if (match == CURLKHMATCH_OK)
            return CURLKHSTAT_FINE;
        const QString host = d->site.host.trimmed();
        if (match == CURLKHMATCH_MISMATCH) {
            d->hostKeyVerdict = RemoteError::Kind::ChangedHostKey;
            return CURLKHSTAT_REJECT;
        }
        switch (d->trust.sshKey(host, d->site.port, keyTypeOf(blob), blob)) {
        case HostTrust::Verdict::Trusted:
            return CURLKHSTAT_FINE;
        case HostTrust::Verdict::Changed:
            d->hostKeyVerdict = RemoteError::Kind::ChangedHostKey;
            return CURLKHSTAT_REJECT;
        case HostTrust::Verdict::Unknown:
            break;
        }
        d->hostKeyVerdict = RemoteError::Kind::UnknownHostKey;
        PeerIdentity peer;
        peer.kind = PeerIdentity::Kind::SshKey;
        peer.host = host;
        peer.port = d->site.port;
        peer.keyType = keyTypeOf(blob);
        peer.key = blob;
        peer.fingerprint = sshFingerprint(blob);
        d->peer = peer;
        return CURLKHSTAT_REJECT;
    }

    static int progressOf(void *data, curl_off_t, curl_off_t, curl_off_t, curl_off_t sentNow)
    {
        auto *d = static_cast<Private *>(data);
        if (!d->ignoreCancel && d->cancel.load())
            return 1;
        if (d->sent && *d->sent)
            (*d->sent)(qint64(sentNow));
        return 0;
    }

    // The server's replies, to give its own reason for a failure; what this
    // side sends (the password among it) is never looked at.
    static int debugOf(CURL *, curl_infotype type, char *text, size_t size, void *data)
    {
        auto *d = static_cast<Private *>(data);
        if (type == CURLINFO_HEADER_IN) {
            const QByteArray line = QByteArray(text, qsizetype(size)).trimmed();
            if (line.size() > 3 && (line[0] == '4' || line[0] == '5'))
                d->lastReply = line;
        }
        return 0;
    }

    static size_t received_(char *bytes, size_t size, size_t n, void *data)
    {
        auto *d = static_cast<Private *>(data);
        if (d->received.size() > (4 << 20))
            return 0;
        d->received.append(bytes, qsizetype(size * n));
        return size * n;
    }

    static size_t read_(char *buffer, size_t size, size_t n, void *data)
    {
        auto *d = static_cast<Private *>(data);
        const qint64 got = d->source->read(buffer, qint64(size * n));
        return got < 0 ? CURL_READFUNC_ABORT : size_t(got);
    }

    void prepare(const QByteArray &target)
    {
        if (!curl) {
            initCurlOnce();
            curl = curl_easy_init();
        }
        // A reset keeps the open connection.
        curl_easy_reset(curl);
        errorText[0] = 0;
        lastReply.clear();
        hostKeyVerdict.reset();
        curl_easy_setopt(curl, CURLOPT_URL, target.constData());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, sftp() ? "sftp" : "ftp");
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Private::progressOf);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &Private::debugOf);
        curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
        curl_easy_setopt(curl, CURLOPT_USERNAME, probing ? "anonymous" : user.constData());
        if (sftp()) {
            curl_easy_setopt(curl, CURLOPT_SSH_KNOWNHOSTS, knownHosts.constData());
            curl_easy_setopt(curl, CURLOPT_SSH_KEYFUNCTION, &Private::keyCheck);
            curl_easy_setopt(curl, CURLOPT_SSH_KEYDATA, this);
            switch (site.auth) {
            case PublishAuth::Password:
                curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES,
                                 long(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
                curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
                break;
            case PublishAuth::Agent:
                curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_AGENT));
                break;
            case PublishAuth::KeyFile:
                curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_PUBLICKEY));
                curl_easy_setopt(curl, CURLOPT_SSH_PRIVATE_KEYFILE, keyFile.constData());
                // Empty: libssh2 derives the public key from the private one.
                curl_easy_setopt(curl, CURLOPT_SSH_PUBLIC_KEYFILE, "");
                curl_easy_setopt(curl, CURLOPT_KEYPASSWD, passphrase.constData());
                break;
            }
        } else {
            curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
            // Servers that demand the data channel resume the control
            // channel's TLS session (vsftpd's default) refuse some data
            // connections under TLS 1.3, whose session tickets arrive after
            // the handshake: "522 SSL connection failed: session reuse
            // required". TLS 1.2's session ids always resume.
            curl_easy_setopt(curl, CURLOPT_SSLVERSION,
                             long(CURL_SSLVERSION_TLSv1_2 | CURL_SSLVERSION_MAX_TLSv1_2));
            if (!probing)
                curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
            if (probing) {
                curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
                curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
                curl_easy_setopt(curl, CURLOPT_CERTINFO, 1L);
            } else if (const auto pin = trust.certificatePin(site.host.trimmed(), site.port)) {
                // A certificate the user trusted for this host only: its key
                // is what is checked, before anything is sent.
                curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
                curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
                curl_easy_setopt(curl, CURLOPT_PINNEDPUBLICKEY, pin->toLatin1().constData());
            }
        }
    }

    RemoteError errorOf(CURLcode code) const
    {
        RemoteError error;
        error.host = site.host.trimmed();
        error.reason = !lastReply.isEmpty() ? QString::fromUtf8(lastReply)
            : errorText[0]                  ? QString::fromUtf8(errorText)
                                            : QString::fromUtf8(curl_easy_strerror(code));
        using Kind = RemoteError::Kind;
        const QString why = error.reason.toLower();
        const auto says = [&why](const char *text) { return why.contains(QLatin1String(text)); };
        if (hostKeyVerdict) {
            error.kind = *hostKeyVerdict;
            return error;
        }
        switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
            error.kind = Kind::HostNotFound;
            break;
        case CURLE_COULDNT_CONNECT:
            error.kind = Kind::Refused;
            break;
        case CURLE_OPERATION_TIMEDOUT:
            error.kind = Kind::TimedOut;
            break;
        case CURLE_LOGIN_DENIED:
            error.kind
                = site.auth == PublishAuth::Password ? Kind::WrongPassword : Kind::KeyRejected;
            break;
        case CURLE_ABORTED_BY_CALLBACK:
            error.kind = Kind::Cancelled;
            break;
        case CURLE_PEER_FAILED_VERIFICATION:
            error.kind = Kind::UntrustedCertificate;
            break;
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
            error.kind = Kind::ChangedCertificate;
            break;
        case CURLE_REMOTE_DISK_FULL:
            error.kind = Kind::DiskFull;
            break;
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
        case CURLE_FTP_WEIRD_SERVER_REPLY:
            error.kind = Kind::ConnectionLost;
            break;
        default:
            if (lastReply.startsWith("452") || lastReply.startsWith("552") || says("space")
                || says("quota") || says("too large"))
                error.kind = Kind::DiskFull;
            else if (says("permission denied") || says("access denied")
                     || code == CURLE_REMOTE_ACCESS_DENIED)
                error.kind = Kind::PermissionDenied;
            else if (says("no such file") || code == CURLE_REMOTE_FILE_NOT_FOUND)
                error.kind = Kind::NotFound;
            else if (says("socket") || says("disconnect") || says("connection"))
                error.kind = Kind::ConnectionLost;
            break;
        }
        return error;
    }

    std::optional<RemoteError> perform()
    {
        const CURLcode code = curl_easy_perform(curl);
        if (code == CURLE_OK)
            return std::nullopt;
        RemoteError error = errorOf(code);
        if (error.kind == RemoteError::Kind::UntrustedCertificate)
            probeCertificate();
        return error;
    }

    // What the certificate that failed says of itself, learnt on a
    // connection of its own that logs in as nobody: no password goes to a
    // server that is not yet trusted.
    void probeCertificate()
    {
        probing = true;
        prepare(url(QString()));
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        curl_easy_perform(curl);
        probing = false;
        curl_certinfo *info = nullptr;
        if (curl_easy_getinfo(curl, CURLINFO_CERTINFO, &info) != CURLE_OK || !info
            || info->num_of_certs < 1)
            return;
        PeerIdentity peer;
        peer.kind = PeerIdentity::Kind::Certificate;
        peer.host = site.host.trimmed();
        peer.port = site.port;
        QStringList details;
        QByteArray pem;
        for (curl_slist *item = info->certinfo[0]; item; item = item->next) {
            const QByteArray line(item->data);
            if (line.startsWith("Cert:"))
                pem = line.mid(5);
            else if (line.startsWith("Subject:") || line.startsWith("Issuer:")
                     || line.startsWith("Start date:") || line.startsWith("Expire date:")
                     || line.startsWith("X509v3 Subject Alternative Name:"))
                details << QString::fromUtf8(line);
        }
        peer.details = details.join(u'\n');
        if (describeCertificate(pem, &peer))
            this->peer = peer;
        // The probe's connection is not the user's: the next request logs in anew.
        curl_easy_cleanup(curl);
        curl = nullptr;
    }
};

RemoteFolder::RemoteFolder(const PublishSite &site, const SiteSecrets &secrets,
                           const HostTrust &trust, const std::atomic_bool &cancel) :
    d(std::make_unique<Private>(site, secrets, trust, cancel))
{
}

RemoteFolder::~RemoteFolder() = default;

const std::optional<PeerIdentity> &RemoteFolder::untrustedPeer() const
{
    return d->peer;
}

std::optional<RemoteError> RemoteFolder::list(QStringList *names)
{
    d->prepare(d->url(QString()));
    d->received.clear();
    curl_easy_setopt(d->curl, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(d->curl, CURLOPT_WRITEFUNCTION, &Private::received_);
    curl_easy_setopt(d->curl, CURLOPT_WRITEDATA, d.get());
    if (!d->sftp())
        curl_easy_setopt(d->curl, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_RETRY));
    auto error = d->perform();
    if (error && error->kind == RemoteError::Kind::NotFound && d->sftp())
        error.reset();
    if (error)
        return error;
    names->clear();
    for (const QByteArray &line : d->received.split('\n')) {
        const QString name = QString::fromUtf8(line.endsWith('\r') ? line.chopped(1) : line);
        if (!name.isEmpty() && name != u'.' && name != QStringLiteral(".."))
            *names << name;
    }
    return std::nullopt;
}

std::optional<RemoteError> RemoteFolder::upload(const QString &localPath, const QString &name,
                                                const std::function<void(qint64)> &sent)
{
    QFile source(localPath);
    if (!source.open(QIODevice::ReadOnly)) {
        RemoteError error;
        error.host = d->site.host;
        error.reason = source.errorString();
        return error;
    }
    const QString temporary = temporaryName(name);
    d->prepare(d->url(temporary));
    d->source = &source;
    d->sent = &sent;
    curl_easy_setopt(d->curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(d->curl, CURLOPT_READFUNCTION, &Private::read_);
    curl_easy_setopt(d->curl, CURLOPT_READDATA, d.get());
    curl_easy_setopt(d->curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(source.size()));
    curl_easy_setopt(d->curl, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_RETRY));
    // OpenSSH's server renames onto no existing name, so there the old file
    // steps aside under keptName for the moment of the rename; an FTP rename
    // replaces the old file in one step.
    const QString real = d->remotePath(name), kept = d->remotePath(keptName(name)),
                  part = d->remotePath(temporary);
    const Slist after = d->sftp()
        ? Slist{"*rm " + quoted(kept), "*rename " + quoted(real) + ' ' + quoted(kept),
                "rename " + quoted(part) + ' ' + quoted(real), "*rm " + quoted(kept)}
        : Slist{"RNFR " + temporary.toUtf8(), "RNTO " + name.toUtf8()};
    curl_easy_setopt(d->curl, CURLOPT_POSTQUOTE, after.get());
    auto error = d->perform();
    d->source = nullptr;
    d->sent = nullptr;
    if (!error)
        return std::nullopt;

    // Whatever broke the upload, the old file is put back if it stepped
    // aside, and the partial file goes; briefly, and even after a cancel.
    d->ignoreCancel = true;
    d->prepare(d->url(QString()));
    curl_easy_setopt(d->curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(d->curl, CURLOPT_CONNECTTIMEOUT, 5L);
    curl_easy_setopt(d->curl, CURLOPT_TIMEOUT, 10L);
    const Slist cleanUp = d->sftp()
        ? Slist{"*rename " + quoted(kept) + ' ' + quoted(real), "*rm " + quoted(part)}
        : Slist{"*DELE " + temporary.toUtf8()};
    curl_easy_setopt(d->curl, CURLOPT_QUOTE, cleanUp.get());
    curl_easy_perform(d->curl);
    d->ignoreCancel = false;
    // libssh2 reports a server gone mid-file as a bare SSH error; that the
    // clean-up needed a new connection tells it from a refused write.
    long connects = 0;
    curl_easy_getinfo(d->curl, CURLINFO_NUM_CONNECTS, &connects);
    if (error->kind == RemoteError::Kind::Other && connects > 0)
        error->kind = RemoteError::Kind::ConnectionLost;
    return error;
}

std::optional<RemoteError> RemoteFolder::remove(const QString &name)
{
    d->prepare(d->url(QString()));
    curl_easy_setopt(d->curl, CURLOPT_NOBODY, 1L);
    const Slist command
        = d->sftp() ? Slist{"rm " + quoted(d->remotePath(name))} : Slist{"DELE " + name.toUtf8()};
    curl_easy_setopt(d->curl, CURLOPT_QUOTE, command.get());
    return d->perform();
}

} // namespace zelmora
