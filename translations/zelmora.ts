<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="ja">
<context>
    <name>QObject</name>
    <message>
        <source>公開</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>鍵ファイル %1 のパスフレーズ:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1@%2 のパスワード:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Zelmora</name>
    <message>
        <source>この説明を表示して終了します。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>バージョンを表示して終了します。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>このプログラムは引数を取りません: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>zelmora: %1
「zelmora --help」で使い方を表示します。
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>zelmora %1
ライセンス %2: GNU GPL バージョン 3 以降
不具合の報告先: %3
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Web サイト用のポップアップページ一式（ポップリーフ）を作ります。
画面は日本語です。使い方はプログラムのヘルプボタンから開けます。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポップリーフ [ %1 ] を作成しました｡</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポップリーフ [ %1 ] ～ [ %2 ] を作成しました｡</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>設定ファイルの %1 の値「%2」は数値ではありません。
%3
オプション設定を開いて閉じると、正しい値に書き直されます。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>タイトル名が長すぎて、ファイルを作成できません。
%1
理由: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>「%1」はすでにあります。置き換えますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1
置き換えると、新しいセットにないファイル（%2）は削除されます。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>、</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1
理由: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>前のセットの古いファイルを削除できませんでした。
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビュー用の一時フォルダを使えません。
%1
理由: シンボリックリンクです。
リンク先のフォルダには書き込みも削除もしません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビューを表示できませんでした。
理由: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>作成していない変更があります。作成してから公開しますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公開するセットのタイトル名を入力してください。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ファイルを書き込めませんでした。
%1
理由: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ファイル名に改行やタブなどの制御文字 (U+%1) があり、ページの行がそこで分かれてしまいます。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ファイル名に「&quot;」があり、ページの画像の指定がそこで切れてしまいます。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ファイル名が UTF-8 の文字になっていないため、ページからこのファイルを指すことができません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: gif、jpg、png、bmp の画像ではありません</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通常のファイルではありません</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: 中身が gif、jpg、png、bmp の画像ではありません</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: 空いているファイル名が見つかりません</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>次の画像は取り込めませんでした。
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>データページ[%1] を作成しました｡</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>背景の画像「%1」は Popleaf の中のファイルを指していないため、書き出せません。画像は Popleaf から選んでください。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>背景の指定「%1」に改行やタブなどの制御文字があり、ページの行がそこで分かれてしまうため、書き出せません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ページ %1 の画像「%2」は Popleaf の中のファイルを指していないため、書き出せません。画像は Popleaf から選んでください。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ページ %1 の画像の名前「%2」に改行やタブなどの制御文字があり、ページの行がそこで分かれてしまうため、書き出せません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ページ %1 の代替テキスト「%2」に改行やタブなどの制御文字があり、ページの行がそこで分かれてしまうため、書き出せません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>タブ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>改行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>制御文字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>タイトル名に %1 (%2) は使えません。
タイトル名はページの行にそのまま書かれるため、改行やタブなどの制御文字を含めることはできません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>タイトル名に 「%1」 は使えません。
タイトル名はページのリンクとスクリプトにそのまま書かれるため、引用符 &apos; と &quot; を含めることはできません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>タイトル名に NUL 文字 は使えません。
タイトル名はファイル名になるため、フォルダの区切り文字と NUL 文字を含めることはできません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>タイトル名に 「%1」 は使えません。
タイトル名はファイル名になるため、フォルダの区切り文字と NUL 文字を含めることはできません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>フォルダを作成できませんでした。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>
%1
理由: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>このリンクはプレビューから開けません。
開けるのは http、https と mailto のリンクだけです。
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビュー用の一時フォルダではありません: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>タイトルにフォルダの区切りがあります: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拡張子が .htm ではありません: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>親ウィンドウの番号が正しくありません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ページ数が 1 から 6 の範囲にありません: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」（ポート %2）のホスト鍵は、まだ信頼されていません。
種類: %3
指紋: %4

この指紋がサーバーの管理者から知らされたものと同じときだけ、信頼してください。このサーバーを信頼して接続しますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」（ポート %2）の証明書は、システムの認証局で確認できませんでした。
%3
指紋: %4

この証明書をこのサーバーに限って信頼し、以後はこの証明書だけを受け入れますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバーに、前の長いセットのページ %1 が残っています。このセットにはもうないページです。削除しますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>「%1」はサーバーにあるものと同じです。送るファイルはありません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公開をキャンセルしました。サーバーの古いファイルはそのままです。（送ったファイル: %1 / %2）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>送り終えたファイル: %1 / %2。サーバーの古いファイルはそのままです。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>「%1」を公開しました。送ったファイル: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>削除したページ: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」が見つかりません。サーバー名を確かめてください。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」に接続を拒否されました。ポート番号を確かめてください。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」が応答しません（時間切れ）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」にログインできません。ユーザー名かパスワードが違います。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」が鍵を受け入れませんでした。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」で書き込みが許可されていません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」に公開先フォルダが見つかりません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」の容量が足りません（ディスクがいっぱいか、容量制限に達しました）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」との接続が切れました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公開をキャンセルしました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」のホスト鍵を確認できませんでした。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」のホスト鍵が、以前に信頼した鍵と違います。サーバーが入れ替わったか、通信が横取りされているおそれがあるため、接続しません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」の証明書を確認できませんでした。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」の証明書が、以前に信頼した証明書と違います。通信が横取りされているおそれがあるため、接続しません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー「%1」への公開に失敗しました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバーの応答: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>「%1」はまだ作成されていません。先に作成してください。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ページの画像名「%1」は出力フォルダのファイルではありません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ファイルを読み込めませんでした。
%1
理由: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ファイルが見つかりません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[ %1 ] は Popleaf の外にあるファイルへのリンクのため、読み込みませんでした。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[ %1 ] は %2 MB を超えていて、ページのファイルとしては大きすぎるため、読み込みませんでした。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[ %1 ] を最後まで読み込めなかったため、セットを開きませんでした。
理由: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポップリーフ [ %1 ] を読み込みました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポップリーフ [ %1 ] ～ [ %2 ] を読み込みました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>設定ファイルとしては大きすぎます</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>設定の名前 [%1] %2 は書き込めません</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>この画像は選べません。
%1
理由: %2
ファイル名を変えてから選び直してください。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ほかの場所から画像を追加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>画像ファイル (*.gif *.jpg *.png *.bmp)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ページを表示するプロセスが異常終了しました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビューの要求を読み取れませんでした。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビューの要求を受け付けられませんでした。
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビュー機能を読み込めませんでした。
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>パスワードをキーリングに記憶できませんでした。
理由: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公開先の設定(&amp;E)...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>すべてのファイルを公開(&amp;A)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ファイル選択</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::AboutBox</name>
    <message>
        <source>バージョン情報</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Zelmora&lt;/b&gt; バージョン %1&lt;/p&gt;&lt;p&gt;ポップアップページ一式（ポップリーフ）を作ります。&lt;/p&gt;&lt;p&gt;ライセンス: GNU General Public License バージョン 3 以降 (%2)&lt;/p&gt;&lt;p&gt;不具合の報告と最新版: &lt;a href=&quot;%3&quot; style=&quot;color:%4&quot;&gt;%3&lt;/a&gt;&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ＯＫ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::BackgroundBox</name>
    <message>
        <source>背景の種類</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>バックカラー</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>参照</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>背景画像</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>バックカラーの参照</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>背景画像の参照</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::DraftKeeper</name>
    <message>
        <source>前回の編集内容が残っています。復元しますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>編集内容の下書きを保存できませんでした。
%1
理由: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>前回の編集内容の下書きを読み込めませんでした。
%1
理由: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>前回の編集内容の下書きが壊れているため、読み込めませんでした。
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>前回の編集内容の下書きが壊れているため、読み込めませんでした。
%1 に移しました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>復元する</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>破棄する</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::ImagePicker</name>
    <message>
        <source>画像選択</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>画像ファイル（gif・jpg・png・bmp）をここにドロップすると、ポップリーフフォルダにコピーして選択します</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポップリーフフォルダに
画像がありません。

「ほかの場所から追加…」で
選ぶか、画像ファイル
（gif・jpg・png・bmp）を
ここにドロップしてください。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ほかの場所から追加(&amp;A)…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ほかの場所から追加…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ほかのフォルダの画像を選んで、ポップリーフフォルダにコピーします</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ＯＫ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::MainWindow</name>
    <message>
        <source>ポップリーフ作成</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>タイトル名&#x3000;（ファイル名も同じ）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>開く</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ファイルを開きます</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポップリーフフォルダを開きます</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>設定フォームを開きます</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポップリーフをサイトに公開します</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ヘルプを表示します</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>アプリケーションを終了します</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビュー</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポップリーフの確認をします</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>作成</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポップリーフを作成します</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::OptionsDialog</name>
    <message>
        <source>オプション設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>動作設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>『作成』 後、ブラウザで動作確認をする</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拡張子設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>作成ファイルの拡張子を ［ .htm ］ にする</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>作成ファイルの拡張子を ［ .html ］ にする</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ロボット検索対応設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ロボット検索 【不可】 設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ロボット検索 【可】 設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[ HOME ] ページへのリンク</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>リンクページ名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>リンクページURL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>なし</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ホームへのリンクなし</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文字コード設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shift_JIS（従来）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>これまでの Shift_JIS のページとそろえるときや、Shift_JIS を送るよう設定したサーバーに置くときに選びます。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバーの文字コード設定やローカルファイルで開くかどうかに関係なく、正しく表示させたいとき（新しく作るページ）に選びます。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ページ形式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>従来形式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTML5（スマートフォン対応）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>スマートフォンや今のブラウザで読みやすいページを UTF-8 で作ります。文字コード設定は使いません。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ＯＫ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>オプション設定を保存できませんでした。
%1
理由: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::PageInputs</name>
    <message>
        <source>なし</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>テキスト</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>イメージ（標準&#x3000;115*150 pix）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>イメージ（ワイド&#x3000;115*250 pix）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1の種類</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1テキスト</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1イメージ（標準）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1イメージ（ワイド）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ＳＲＣ＝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>参照</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1の参照</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ＡＬＴ＝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1のＡＬＴ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::PreviewClient</name>
    <message>
        <source>閉じるように求めても、プレビューのプロセスが応答しませんでした。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビューのプロセスが応答しないまま、待てる時間を過ぎました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビューのプロセスを起動できませんでした。
%1
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビューのプロセスから読み取れない応答がありました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビューのプロセスが異常終了しました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビューのプロセスが、答えないまま終了しました。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プレビューのプロセスが終了しました (終了コード %1)。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::PreviewWindow</name>
    <message>
        <source>ページプレビュー</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>←</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>→</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>前のページ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>次のページ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::ProgressWindow</name>
    <message>
        <source>公開</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバーに接続しています…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>キャンセルしています…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>送信中: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 / %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>zelmora::SiteDialog</name>
    <message>
        <source>公開先の設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SFTP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FTPS（明示的な TLS）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>例: public_html（空欄はログイン先のフォルダ）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>パスワード</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ssh-agent の鍵</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>鍵ファイル</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>参照…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>パスワードとパスフレーズをキーリングに記憶する</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>プロトコル(&amp;R):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバー(&amp;H):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ポート(&amp;O):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ユーザー名(&amp;U):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>公開先フォルダ(&amp;F):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ログイン方法:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>鍵ファイル(&amp;K):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>パスワード(&amp;W):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>パスフレーズ(&amp;A):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>鍵ファイルを選択</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>サーバーとユーザー名を、空白や制御文字なしで入力してください。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>鍵ファイルを選んでください。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
