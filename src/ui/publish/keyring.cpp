#include "ui/publish/keyring.h"

#include <QEventLoop>

#include <qt6keychain/keychain.h>

namespace zelmora {

namespace {

const QString kService = QStringLiteral("Zelmora");

// Runs a keychain job to its end; the keyring may ask the user to unlock it
// meanwhile, so the events go on.
void finish(QKeychain::Job &job)
{
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

} // namespace

std::optional<QString> Keyring::read(const QString &key)
{
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(key);
    finish(job);
    if (job.error() != QKeychain::NoError)
        return std::nullopt;
    return job.textData();
}

std::optional<QString> Keyring::store(const QString &key, const QString &secret)
{
    QKeychain::WritePasswordJob job(kService);
    job.setKey(key);
    job.setTextData(secret);
    finish(job);
    if (job.error() != QKeychain::NoError)
        return job.errorString();
    return std::nullopt;
}

void Keyring::forget(const QString &key)
{
    QKeychain::DeletePasswordJob job(kService);
    job.setKey(key);
    finish(job);
}

} // namespace zelmora
