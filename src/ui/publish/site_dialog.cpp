#include "ui/publish/site_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace zelmora {

namespace {

QLineEdit *secretEdit(QWidget *parent, const QString &name, const QString &text)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

SiteDialog::SiteDialog(const PublishSite &site, const SiteSecrets &secrets, QWidget *parent) :
    QDialog(parent)
{
    setObjectName(QStringLiteral("PublishSite"));
    setWindowTitle(tr("公開先の設定"));
    auto *form = new QFormLayout(this);
    m_protocol = new QComboBox(this);
    m_protocol->setObjectName(QStringLiteral("SiteProtocol"));
    m_protocol->addItems({tr("SFTP"), tr("FTPS（明示的な TLS）")});
    m_host = new QLineEdit(site.host, this);
    m_host->setObjectName(QStringLiteral("SiteHost"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("SitePort"));
    m_port->setRange(1, 65535);
    m_user = new QLineEdit(site.user, this);
    m_user->setObjectName(QStringLiteral("SiteUser"));
    m_folder = new QLineEdit(site.folder, this);
    m_folder->setObjectName(QStringLiteral("SiteFolder"));
    m_folder->setPlaceholderText(tr("例: public_html（空欄はログイン先のフォルダ）"));

    m_auth = new QButtonGroup(this);
    m_auth->setObjectName(QStringLiteral("SiteAuth"));
    auto *authRow = new QHBoxLayout;
    const QString authNames[] = {tr("パスワード"), tr("ssh-agent の鍵"), tr("鍵ファイル")};
    for (int i = 0; i < 3; ++i) {
        auto *button = new QRadioButton(authNames[i], this);
        button->setObjectName(QStringLiteral("SiteAuth_%1").arg(i));
        m_auth->addButton(button, i);
        authRow->addWidget(button);
    }
    m_keyFile = new QLineEdit(site.keyFile, this);
    m_keyFile->setObjectName(QStringLiteral("SiteKeyFile"));
    m_browse = new QPushButton(tr("参照…"), this);
    auto *keyRow = new QHBoxLayout;
    keyRow->addWidget(m_keyFile);
    keyRow->addWidget(m_browse);
    m_password = secretEdit(this, QStringLiteral("SitePassword"), secrets.password);
    m_passphrase = secretEdit(this, QStringLiteral("SitePassphrase"), secrets.passphrase);
    m_remember = new QCheckBox(tr("パスワードとパスフレーズをキーリングに記憶する"), this);
    m_remember->setObjectName(QStringLiteral("SiteRemember"));
    m_remember->setChecked(site.remember);

    form->addRow(tr("プロトコル(&R):"), m_protocol);
    form->addRow(tr("サーバー(&H):"), m_host);
    form->addRow(tr("ポート(&O):"), m_port);
    form->addRow(tr("ユーザー名(&U):"), m_user);
    form->addRow(tr("公開先フォルダ(&F):"), m_folder);
    form->addRow(tr("ログイン方法:"), authRow);
    form->addRow(tr("鍵ファイル(&K):"), keyRow);
    form->addRow(tr("パスワード(&W):"), m_password);
    form->addRow(tr("パスフレーズ(&A):"), m_passphrase);
    form->addRow(m_remember);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SiteDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SiteDialog::reject);

    m_protocol->setCurrentIndex(int(site.protocol));
    m_port->setValue(site.port);
    m_auth->button(int(site.auth))->setChecked(true);
    applyProtocol(int(site.protocol));
    // A port the user has not changed follows the protocol's own.
    connect(m_protocol, &QComboBox::currentIndexChanged, this, [this](int protocol) {
        if (m_port->value() == kSftpPort || m_port->value() == kFtpPort)
            m_port->setValue(protocol == int(PublishProtocol::Sftp) ? kSftpPort : kFtpPort);
        applyProtocol(protocol);
    });
    connect(m_auth, &QButtonGroup::idClicked, this, &SiteDialog::applyAuth);
    connect(m_browse, &QPushButton::clicked, this, [this] {
        const QString file
            = QFileDialog::getOpenFileName(this, tr("鍵ファイルを選択"), m_keyFile->text());
        if (!file.isEmpty())
            m_keyFile->setText(file);
    });
}

void SiteDialog::applyProtocol(int protocol)
{
    // FTPS logs in with a password only.
    const bool sftp = protocol == int(PublishProtocol::Sftp);
    for (int i : {1, 2})
        m_auth->button(i)->setEnabled(sftp);
    if (!sftp)
        m_auth->button(int(PublishAuth::Password))->setChecked(true);
    applyAuth();
}

void SiteDialog::applyAuth()
{
    const int auth = m_auth->checkedId();
    m_password->setEnabled(auth == int(PublishAuth::Password));
    m_keyFile->setEnabled(auth == int(PublishAuth::KeyFile));
    m_browse->setEnabled(auth == int(PublishAuth::KeyFile));
    m_passphrase->setEnabled(auth == int(PublishAuth::KeyFile));
}

PublishSite SiteDialog::site() const
{
    PublishSite site;
    site.protocol = PublishProtocol(m_protocol->currentIndex());
    site.host = m_host->text().trimmed();
    site.port = m_port->value();
    site.user = m_user->text();
    site.folder = m_folder->text().trimmed();
    site.auth = PublishAuth(m_auth->checkedId());
    site.keyFile = m_keyFile->text();
    site.remember = m_remember->isChecked();
    return site;
}

SiteSecrets SiteDialog::secrets() const
{
    return {m_password->text(), m_passphrase->text()};
}

void SiteDialog::accept()
{
    const PublishSite s = site();
    // Each line of the settings file holds one value.
    const auto oneLine = [](const QString &text) {
        return std::none_of(text.begin(), text.end(),
                            [](QChar c) { return c.category() == QChar::Other_Control; });
    };
    if (!s.isComplete() || s.host.contains(u' ')
        || !oneLine(s.host + s.user + s.folder + s.keyFile)) {
        QMessageBox::warning(this, windowTitle(),
                             tr("サーバーとユーザー名を、空白や制御文字なしで入力してください。"));
        return;
    }
    if (s.auth == PublishAuth::KeyFile && s.keyFile.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), tr("鍵ファイルを選んでください。"));
        return;
    }
    QDialog::accept();
}

bool askSecret(QWidget *parent, const PublishSite &site, SiteSecrets *secrets)
{
    if (site.protocol == PublishProtocol::Sftp && site.auth == PublishAuth::Agent)
        return true;
    const bool key = site.protocol == PublishProtocol::Sftp && site.auth == PublishAuth::KeyFile;
    bool ok = false;
    const QString text
        = QInputDialog::getText(parent, QObject::tr("公開"),
                                key ? QObject::tr("鍵ファイル %1 のパスフレーズ:").arg(site.keyFile)
                                    : QObject::tr("%1@%2 のパスワード:").arg(site.user, site.host),
                                QLineEdit::Password, QString(), &ok);
    if (!ok)
        return false;
    (key ? secrets->passphrase : secrets->password) = text;
    return true;
}

} // namespace zelmora
