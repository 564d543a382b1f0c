#include "app/command_line.h"

#include "app/translations.h"
#include "build_config.h"

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
             japanese ? QStringLiteral("この説明を表示して終了します。")
                      : QStringLiteral("Displays this help and exits.")),
        version({QStringLiteral("v"), QStringLiteral("version")},
                japanese ? QStringLiteral("バージョンを表示して終了します。")
                         : QStringLiteral("Displays the version and exits."))
    {
        // Qt's single-dash words (-platform, -reverse) stay whole words here,
        // never a row of short options (-r -e -v ...).
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOption(help);
        parser.addOption(version);
    }

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

} // namespace

std::optional<int> answerCommandLine(int argc, char *argv[])
{
    if (argc < 2)
        return std::nullopt; // the usual start: nothing to read
    {
        Options options;
        // Qt's own options are unknown to this parser; QApplication takes
        // them later.
        options.parse(argc, argv);
        if (options.parser.isSet(options.version)) {
            print(stdout, QStringLiteral("zelmora " ZELMORA_VERSION "\n"));
            return 0;
        }
        if (!options.parser.isSet(options.help))
            return std::nullopt;
    }
    // The help's frame ("Usage:", "Options:") comes from Qt's translations,
    // which need the application object (not a window system).
    QCoreApplication app(argc, argv);
    const bool japanese = installQtTranslations(app);
    Options options(japanese);
    options.parser.setApplicationDescription(
        japanese
            ? QStringLiteral("Web サイト用のポップアップページ一式（ポップリーフ）を作ります。\n"
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
    Options options;
    QString problem;
    if (!options.parse(argc, argv))
        problem = options.parser.errorText();
    else if (!options.parser.positionalArguments().isEmpty())
        problem = QStringLiteral("このプログラムは引数を取りません: %1")
                      .arg(options.parser.positionalArguments().join(u' '));
    if (problem.isEmpty())
        return std::nullopt;
    print(stderr,
          QStringLiteral("zelmora: %1\n「zelmora --help」で使い方を表示します。\n").arg(problem));
    return 2;
}

} // namespace zelmora
