#include "core/publish/remote_error.h"

#include "core/model/texts.h"

namespace zelmora {

QString RemoteError::message() const
{
    QString text;
    switch (kind) {
    case Kind::HostNotFound:
        text = Texts::tr("サーバー「%1」が見つかりません。サーバー名を確かめてください。");
        break;
    case Kind::Refused:
        text = Texts::tr("サーバー「%1」に接続を拒否されました。ポート番号を確かめてください。");
        break;
    case Kind::TimedOut:
        text = Texts::tr("サーバー「%1」が応答しません（時間切れ）。");
        break;
    case Kind::WrongPassword:
        text = Texts::tr("サーバー「%1」にログインできません。ユーザー名かパスワードが違います。");
        break;
    case Kind::KeyRejected:
        text = Texts::tr("サーバー「%1」が鍵を受け入れませんでした。");
        break;
    case Kind::PermissionDenied:
        text = Texts::tr("サーバー「%1」で書き込みが許可されていません。");
        break;
    case Kind::NotFound:
        text = Texts::tr("サーバー「%1」に公開先フォルダが見つかりません。");
        break;
    case Kind::DiskFull:
        text = Texts::tr(
            "サーバー「%1」の容量が足りません（ディスクがいっぱいか、容量制限に達しました）。");
        break;
    case Kind::ConnectionLost:
        text = Texts::tr("サーバー「%1」との接続が切れました。");
        break;
    case Kind::Cancelled:
        text = Texts::tr("公開をキャンセルしました。");
        break;
    case Kind::UnknownHostKey:
        text = Texts::tr("サーバー「%1」のホスト鍵を確認できませんでした。");
        break;
    case Kind::ChangedHostKey:
        text = Texts::tr(
            "サーバー「%1」のホスト鍵が、以前に信頼した鍵と違います。"
            "サーバーが入れ替わったか、通信が横取りされているおそれがあるため、接続しません。");
        break;
    case Kind::UntrustedCertificate:
        text = Texts::tr("サーバー「%1」の証明書を確認できませんでした。");
        break;
    case Kind::ChangedCertificate:
        text = Texts::tr("サーバー「%1」の証明書が、以前に信頼した証明書と違います。"
                         "通信が横取りされているおそれがあるため、接続しません。");
        break;
    case Kind::Other:
        text = Texts::tr("サーバー「%1」への公開に失敗しました。");
        break;
    }
    if (text.contains(QStringLiteral("%1")))
        text = text.arg(host);
    if (!reason.isEmpty() && kind != Kind::Cancelled)
        text += u'\n' + Texts::tr("サーバーの応答: %1").arg(reason);
    return text;
}

} // namespace zelmora
