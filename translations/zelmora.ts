<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="ja">
<context>
    <name>Zelmora</name>
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
        <source>ページ数が 1 から 6 の範囲にありません: %1</source>
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
</context>
</TS>
