#include "app/command_line.h"

#include "app/translations.h"
#include "build_config.h"
#include "core/model/texts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace zelmora {
namespace {

QStringList argumentList(int argc, char *argv[])
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    return list;
}

// The program's two options, described in the user's language (Qt's own
// catalogue leaves the help option's text in English).
struct Options {
    explicit Options(bool japanese = false) :
        help({QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
             japanese ? Texts::tr("この説明を表示して終了します。")
                      : QStringLiteral("Displays this help and exits.")),
        version({QStringLiteral("v"), QStringLiteral("version")},
                japanese ? Texts::tr("バージョンを表示して終了します。")
                         : QStringLiteral("Displays the version and exits."))
    {
        // Qt's single-dash words (-platform, -reverse) stay whole words here,
        // never a row of short options (-r -e -v ...).
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOption(help);
        parser.addOption(version);
        // Qt's own options (QApplication takes them later), known here so
        // that an option that is neither Qt's nor ours is refused before
        // anything needs a display, and a value such as "-platform xcb"
        // is not taken for an argument.
        for (const QString &name : QString::fromLatin1(kQtOptionsWithValue).split(u' ')) {
            QCommandLineOption option(name, QString(), QStringLiteral("value"));
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
        for (const QString &name : QString::fromLatin1(kQtFlags).split(u' ')) {
            QCommandLineOption option(name);
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
    }

    // Those of QCoreApplication, QGuiApplication, QApplication and the X11
    // platform (qt6options(7)).
    static constexpr const char kQtOptionsWithValue[]
        = "platform platformpluginpath platformtheme plugin qwindowgeometry geometry qwindowicon "
          "icon qwindowtitle title session display name visual style stylesheet qmljsdebugger "
          "dialogs fontengine";
    static constexpr const char kQtFlags[] = "reverse widgetcount nograb dograb sync testability";

    bool parse(int argc, char *argv[]) { return parser.parse(argumentList(argc, argv)); }

    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineParser parser;
};

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// An option that is neither Qt's nor the program's, or an argument: the
// message on the terminal and the exit code 2.
std::optional<int> refuseArguments(int argc, char *argv[])
{
    Options options;
    QString problem;
    if (!options.parse(argc, argv))
        problem = options.parser.errorText();
    else if (!options.parser.positionalArguments().isEmpty())
        problem = Texts::tr("このプログラムは引数を取りません: %1")
                      .arg(options.parser.positionalArguments().join(u' '));
    if (problem.isEmpty())
        return std::nullopt;
    print(stderr,
          Texts::tr("zelmora: %1\n「zelmora --help」で使い方を表示します。\n").arg(problem));
    return 2;
}

} // namespace

QString versionText(bool japanese)
{
    if (japanese)
        return Texts::tr(
                   "zelmora %1\nライセンス %2: GNU GPL バージョン 3 以降\n不具合の報告先: %3\n")
            .arg(QStringLiteral(ZELMORA_VERSION), QStringLiteral(ZELMORA_LICENSE),
                 QStringLiteral(ZELMORA_HOMEPAGE_URL));
    return QStringLiteral("zelmora " ZELMORA_VERSION "\n"
                          "License " ZELMORA_LICENSE ": GNU GPL version 3 or later\n"
                          "Report problems at " ZELMORA_HOMEPAGE_URL "\n");
}

std::optional<int> answerCommandLine(int argc, char *argv[])
{
    if (argc < 2)
        return std::nullopt; // the usual start: nothing to read
    {
        Options options;
        const bool parsed = options.parse(argc, argv);
        if (parsed && options.parser.isSet(options.version)) {
            print(stdout, versionText(isJapanese(QLocale::system())));
            return 0;
        }
        if (parsed && options.parser.positionalArguments().isEmpty()
            && !options.parser.isSet(options.help))
            return std::nullopt;
    }
    // The help, or a refusal: the texts of Qt's parser ("Usage:", "Unknown
    // option") come from Qt's translations, which need the application object
    // (not a window system).
    QCoreApplication app(argc, argv);
    const bool japanese = installQtTranslations(app);
    if (const auto refused = refuseArguments(argc, argv))
        return refused;
    Options options(japanese);
    options.parser.setApplicationDescription(
        japanese ? Texts::tr("Web サイト用のポップアップページ一式（ポップリーフ）を作ります。\n"
                             "画面は日本語です。使い方はプログラムのヘルプボタンから開けます。")
                 : QStringLiteral("Writes sets of HTML popup pages for a web site (the interface\n"
                                  "is in Japanese). The help button opens the user's guide."));
    options.parse(argc, argv);
    print(stdout, options.parser.helpText());
    return 0;
}

std::optional<int> rejectLeftoverArguments(int argc, char *argv[])
{
    if (argc < 2)
        return std::nullopt;
    return refuseArguments(argc, argv);
}

} // namespace zelmora
