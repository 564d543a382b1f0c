#pragma once

#include "core/publish/publish_site.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace zelmora {

// The site settings: protocol (SFTP, or FTPS with explicit TLS; never plain
// FTP), host, port, user, remote folder, and how to log in. The password or
// passphrase typed here goes to the keyring only when 記憶する is ticked.
class SiteDialog : public QDialog {
    Q_OBJECT
public:
    SiteDialog(const PublishSite &site, const SiteSecrets &secrets, QWidget *parent = nullptr);

    PublishSite site() const;
    SiteSecrets secrets() const;
    void accept() override;

private:
    void applyProtocol(int protocol);
    void applyAuth();

    QComboBox *m_protocol = nullptr;
    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_folder = nullptr;
    QButtonGroup *m_auth = nullptr;
    QLineEdit *m_keyFile = nullptr;
    QPushButton *m_browse = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_passphrase = nullptr;
    QCheckBox *m_remember = nullptr;
};

// Asks for the password or passphrase that the keyring does not hold; false
// when the user cancels.
bool askSecret(QWidget *parent, const PublishSite &site, SiteSecrets *secrets);

} // namespace zelmora
