// Creates a page set for the browser suite through the real create road:
//   make_browser_set <program folder> <MojiCodeSettei> <ascii|japanese> [<KeishikiSettei>]
// The settings are saved as the options dialog saves them, the pictures the
// pages name are put into Popleaf, and the create command writes the set
// there. What was typed is printed as JSON for the suite to check the
// browser's reading against. With KeishikiSettei given, the key is written
// too; a Japanese set of the modern format ("1") also carries the home link.

#include "core/model/desktop.h"
#include "support/record_editor.h"
#include "core/model/editor.h"
#include "core/places/program_paths.h"
#include "support/test_windows.h"
#include "core/settings/settings_file.h"
#include "core/files/page_lines.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

using namespace zelmora;

namespace {

// A 1 x 1 GIF.
const QByteArray kGif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

class SilentDesktop : public Desktop {
public:
    void information(const QString &) override {}
    void plainMessage(const QString &text) override { warnings << text; }
    void warning(const QString &text) override { warnings << text; }
    void openUrl(const QUrl &) override {}
    QStringList warnings;
};

// The longest a page text can be typed.
const int kLongestText = 120;

// Text, standard picture, wide picture, text; page 5 none. The ASCII title
// has a colour background, the Japanese one a picture whose name is
// Japanese too, like its pictures. The dark set is the Japanese one with a
// long title, the longest texts and a dark colour typed by name.
PageSet browserSet(bool japanese, bool dark)
{
    PageSet set;
    set.title = japanese ? QStringLiteral("春の便り") : QStringLiteral("Spring");
    Page &p1 = set.page(1);
    p1.kind = PageKind::Text;
    p1.text = QStringLiteral("春が来ました。\r\nSpring has come, 桜が咲いています ①😀");
    Page &p2 = set.page(2);
    p2.kind = PageKind::StandardPicture;
    p2.standardFile = japanese ? QStringLiteral("花.gif") : QStringLiteral("flower.gif");
    p2.standardAlt = QStringLiteral("花の写真");
    Page &p3 = set.page(3);
    p3.kind = PageKind::WidePicture;
    p3.wideFile = japanese ? QStringLiteral("横長の景色.gif") : QStringLiteral("wide.gif");
    p3.wideAlt = QStringLiteral("山と海のパノラマ");
    Page &p4 = set.page(4);
    p4.kind = PageKind::Text;
    p4.text = QStringLiteral("最後のページです。\r\nまたね！ <b>太字</b>");
    if (dark) {
        set.title = QStringLiteral("夜のお知らせと長いタイトルの春の便り、その続きの続き");
        p1.text = QString(kLongestText - 1, u'夜') + u'。';
        p4.text = QStringLiteral("<b>長い</b>") + QString(kLongestText - 11, u'字') + QStringLiteral("。");
        selectBackgroundKind(set, BackgroundKind::Colour);
        set.backgroundValue = QStringLiteral("navy");
    } else if (japanese) {
        selectBackgroundKind(set, BackgroundKind::Picture);
        set.backgroundValue = QStringLiteral("背景.gif");
    } else {
        selectBackgroundKind(set, BackgroundKind::Colour);
        set.backgroundValue = QStringLiteral("#FFCC00");
    }
    return set;
}

QJsonObject typed(const PageSet &set)
{
    QJsonArray pages;
    for (int k = 1; k <= pageCount(set); ++k) {
        const Page &p = set.page(k);
        QJsonObject page{{QStringLiteral("kind"), int(p.kind)}};
        if (p.kind == PageKind::Text) {
            page[QStringLiteral("text")] = p.text;
        } else {
            const bool wide = p.kind == PageKind::WidePicture;
            page[QStringLiteral("file")] = wide ? p.wideFile : p.standardFile;
            page[QStringLiteral("alt")] = wide ? p.wideAlt : p.standardAlt;
            page[QStringLiteral("width")] = wide ? 250 : 150;
        }
        pages.append(page);
    }
    return {{QStringLiteral("title"), set.title},
            {QStringLiteral("pages"), pages},
            {QStringLiteral("backgroundPicture"), set.backgroundKind == BackgroundKind::Picture},
            {QStringLiteral("background"), set.backgroundValue}};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if ((args.size() != 4 && args.size() != 5)
        || (args[3] != QStringLiteral("ascii") && args[3] != QStringLiteral("japanese")
            && args[3] != QStringLiteral("dark"))) {
        std::fprintf(stderr, "usage: make_browser_set <program folder> <MojiCodeSettei> "
                             "<ascii|japanese|dark> [<KeishikiSettei>]\n");
        return 2;
    }
    const QString format = args.size() == 5 ? args[4] : QString();
    const bool modern = format == QStringLiteral("1");
    const bool dark = args[3] == QStringLiteral("dark");
    // The ASCII set has no home link, so that 閉じる has nowhere to go in a
    // tab of its own; the dark one a name too long for one line.
    const bool home = modern && args[3] != QStringLiteral("ascii");
    QDir().mkpath(args[1]);
    const ProgramPaths paths = initPortablePaths(args[1]);
    StoredSettings settings;
    settings.DousaSettei = QStringLiteral("0");
    settings.MojiCodeSettei = args[2];
    if (home) {
        settings.KensakuSettei = QStringLiteral("2");
        settings.HomeName = dark ? QStringLiteral("トップページ「夜のお知らせと春の便りの長い長いホームページの名前」へ戻る")
                                 : QStringLiteral("ホームへ戻る");
        settings.HomeURL = QStringLiteral("index.html");
    }
    auto error = writeStoredSettings(settings, paths.settingsFile);
    if (!error && !format.isEmpty())
        error = writeIniString(kSettingsSection, QStringLiteral("KeishikiSettei"), format,
                               paths.settingsFile);
    if (error) {
        std::fprintf(stderr, "%s\n", qPrintable(error->writeMessage()));
        return 1;
    }
    const PageSet set = browserSet(args[3] != QStringLiteral("ascii"), dark);
    QStringList pictures{set.page(2).standardFile, set.page(3).wideFile};
    if (set.backgroundKind == BackgroundKind::Picture)
        pictures << set.backgroundValue;
    for (const QString &picture : pictures) {
        if (auto error = writeWholeFile(paths.outputFolder + picture, kGif)) {
            std::fprintf(stderr, "%s\n", qPrintable(error->writeMessage()));
            return 1;
        }
    }

    RecordEditor editor(set);
    EditorState state;
    SilentDesktop desktop;
    createSet(test::commandContext(editor, state, paths, desktop));
    if (!desktop.warnings.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(desktop.warnings.join(u'\n')));
        return 1;
    }
    QJsonObject out = typed(set);
    out[QStringLiteral("folder")] = paths.outputFolder;
    out[QStringLiteral("ext")] = state.extension;
    if (home)
        out[QStringLiteral("home")] = QJsonObject{{QStringLiteral("name"), settings.HomeName},
                                                  {QStringLiteral("url"), settings.HomeURL}};
    std::fputs(QJsonDocument(out).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
    return 0;
}
