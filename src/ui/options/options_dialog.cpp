#include "ui/options/options_dialog.h"

#include "core/places/program_paths.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/keyboard.h"
#include "core/model/desktop.h"
#include "core/text/page_encoding.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zelmora {
namespace {

QRadioButton *addOption(QButtonGroup *group, int id, const QString &text, QWidget *parent, int left,
                        int top, int width, int height)
{
    auto *option
        = placeControl(new QRadioButton(text, parent),
                       group->objectName() + u'_' + QString::number(id), left, top, width, height);
    group->addButton(option, id);
    return option;
}

// A frame whose caption carries a mnemonic in the Japanese way: Alt+letter
// goes to its checked option (or its first control); a screen reader reads
// the caption alone.
QGroupBox *captionedFrame(const QString &caption, char letter, QWidget *parent)
{
    auto *frame
        = new QGroupBox(caption + QStringLiteral("(&") + QLatin1Char(letter) + u')', parent);
    frame->setAccessibleName(caption);
    return frame;
}

} // namespace

OptionsDialog::OptionsDialog(const QString &settingsPath, Desktop &desktop, QWidget *parent) :
    QDialog(parent), m_settingsPath(settingsPath), m_desktop(desktop)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(tr("オプション設定"));
    setFont(gothicFont(9));
    setFixedSize(twipsSize(5895, 8400));
    buildControls();
    readSettings();
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::buildControls()
{
    auto *frame3 = placeControl(captionedFrame(tr("動作設定"), 'D', this), QStringLiteral("Frame3"),
                                120, 120, 5655, 735);
    m_chkBrowser = placeControl(new QCheckBox(tr("『作成』 後、ブラウザで動作確認をする"), frame3),
                                QStringLiteral("ChkBrowser"), 120, 240, 5415, 375);
    m_chkBrowser->setChecked(true);

    auto *frame5 = placeControl(captionedFrame(tr("拡張子設定"), 'E', this),
                                QStringLiteral("Frame5"), 120, 1080, 5655, 1095);
    m_optKcyosi = new QButtonGroup(this);
    m_optKcyosi->setObjectName(QStringLiteral("OptKcyosi"));
    addOption(m_optKcyosi, 0, tr("作成ファイルの拡張子を ［ .htm ］ にする"), frame5, 240, 240,
              4815, 375)
        ->setChecked(true);
    addOption(m_optKcyosi, 1, tr("作成ファイルの拡張子を ［ .html ］ にする"), frame5, 240, 600,
              4815, 375);

    // The robots options and the home link that belongs to them lie in
    // Frame2, so that a screen reader tells them as one group under its
    // caption. Positions in the layout table count from the dialog.
    auto *frame2 = placeControl(captionedFrame(tr("ロボット検索対応設定"), 'R', this),
                                QStringLiteral("Frame2"), 120, 2400, 5655, 3015);
    const auto inFrame2 = [](int left, int top) { return QPoint(left - 120, top - 2400); };
    m_optSettei = new QButtonGroup(this);
    m_optSettei->setObjectName(QStringLiteral("OptSettei"));
    const QPoint notAllowed = inFrame2(360, 2640), allowed = inFrame2(360, 3000);
    addOption(m_optSettei, 1, tr("ロボット検索 【不可】 設定"), frame2, notAllowed.x(),
              notAllowed.y(), 2775, 375);
    addOption(m_optSettei, 2, tr("ロボット検索 【可】 設定"), frame2, allowed.x(), allowed.y(),
              2775, 375);

    const QPoint link = inFrame2(240, 3360);
    auto *frame1 = placeControl(captionedFrame(tr("[ HOME ] ページへのリンク"), 'L', frame2),
                                QStringLiteral("Frame1"), link.x(), link.y(), 5415, 1455);
    auto *nameLabel = placeControl(new QLabel(tr("リンクページ名"), frame1),
                                   QStringLiteral("Label1"), 120, 355, 2055, 255);
    m_textHomeName = placeControl(new QLineEdit(tr("リンクページ名"), frame1),
                                  QStringLiteral("Text_HomeName"), 1440, 310, 2895, 270);
    auto *urlLabel = placeControl(new QLabel(tr("リンクページURL"), frame1),
                                  QStringLiteral("Label2"), 120, 720, 1575, 255);
    m_textUrl = placeControl(new QLineEdit(tr("リンクページURL"), frame1),
                             QStringLiteral("Text_URL"), 240, 960, 5055, 270);
    // Named by their own labels, not by the frame's caption that they share.
    nameLabel->setBuddy(m_textHomeName);
    urlLabel->setBuddy(m_textUrl);
    m_textHomeName->setAccessibleName(tr("リンクページ名"));
    m_textUrl->setAccessibleName(tr("リンクページURL"));
    // Label1 reaches under the name box; the box, made later, stays on top.
    m_textHomeName->raise();

    const QPoint none = inFrame2(360, 4920);
    auto *noRobots = addOption(m_optSettei, 0, tr("なし"), frame2, none.x(), none.y(), 2775, 375);
    noRobots->setChecked(true);
    // "なし" alone does not say what it turns off.
    noRobots->setAccessibleName(tr("ホームへのリンクなし"));
    applyRobotsRule(0);

    // The character encoding came after the other options; its frame lies
    // below them, so that none of them moved.
    auto *frame6 = placeControl(captionedFrame(tr("文字コード設定"), 'M', this),
                                QStringLiteral("Frame6"), 120, 5520, 5655, 1095);
    m_optMoji = new QButtonGroup(this);
    m_optMoji->setObjectName(QStringLiteral("OptMoji"));
    auto *shiftJis = addOption(m_optMoji, 0, tr("Shift_JIS（従来）"), frame6, 240, 240, 4815, 375);
    shiftJis->setChecked(true);
    shiftJis->setToolTip(tr("これまでの Shift_JIS のページとそろえるときや、Shift_JIS "
                            "を送るよう設定したサーバーに置くときに選びます。"));
    addOption(m_optMoji, 1, QStringLiteral("UTF-8"), frame6, 240, 600, 4815, 375)
        ->setToolTip(tr("サーバーの文字コード設定やローカルファイルで開くかどうかに関係なく、正"
                        "しく表示させたいとき（新しく作るページ）に選びます。"));

    // The page format came last; ＯＫ sits below every option.
    auto *frame7 = placeControl(captionedFrame(tr("ページ形式"), 'K', this),
                                QStringLiteral("Frame7"), 120, 6720, 5655, 1095);
    m_optKeishiki = new QButtonGroup(this);
    m_optKeishiki->setObjectName(QStringLiteral("OptKeishiki"));
    addOption(m_optKeishiki, 0, tr("従来形式"), frame7, 240, 240, 4815, 375)->setChecked(true);
    addOption(m_optKeishiki, 1, tr("HTML5（スマートフォン対応）"), frame7, 240, 600, 4815, 375)
        ->setToolTip(tr("スマートフォンや今のブラウザで読みやすいページを UTF-8 "
                        "で作ります。文字コード設定は使いません。"));
    // HTML5 pages are always UTF-8: the encoding choice is closed meanwhile
    // and keeps its value for the classic format.
    connect(m_optKeishiki, &QButtonGroup::idToggled, this, [frame6](int id, bool checked) {
        if (checked)
            frame6->setEnabled(id != 1);
    });

    auto *command1 = placeControl(new QPushButton(tr("ＯＫ"), this), QStringLiteral("Command1"),
                                  4080, 7920, 1600, 375);
    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this, &QDialog::accept);

    for (QButtonGroup *group : {m_optKcyosi, m_optSettei, m_optMoji, m_optKeishiki})
        tabIntoCheckedButton(group);
    // The inner frame first: its place in Frame2 then moves with the options.
    for (QGroupBox *frame : {frame1, frame3, frame5, frame2, frame6, frame7})
        keepInsideFrameLines(frame);

    // toggled, not clicked: a choice made by readSettings runs the rule too.
    connect(m_optSettei, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            applyRobotsRule(id);
    });
}

void OptionsDialog::readSettings()
{
    const StoredSettings stored = readStoredSettings(m_settingsPath);

    // Anything that is not the number 1 (a word, an empty text) unticks it.
    bool isNumber = false;
    const double dousa = stored.DousaSettei.toDouble(&isNumber);
    m_chkBrowser->setChecked(isNumber && dousa == 1);

    // Any other text leaves the initial choice.
    for (int id = 0; id <= 2; ++id) {
        if (stored.KensakuSettei == QString::number(id))
            m_optSettei->button(id)->setChecked(true);
    }

    m_textHomeName->setText(stored.HomeName);
    m_textUrl->setText(stored.HomeURL);

    for (int id = 0; id <= 1; ++id) {
        if (stored.KakucyosiSettei == QString::number(id))
            m_optKcyosi->button(id)->setChecked(true);
    }

    // "1" is UTF-8; anything else is the Shift-JIS the pages always had.
    m_optMoji->button(pageEncodingFromSetting(stored.MojiCodeSettei) == PageEncoding::Utf8 ? 1 : 0)
        ->setChecked(true);
    // "1" is HTML5; anything else the classic format.
    m_optKeishiki->button(pageFormatFromSetting(stored.KeishikiSettei) == PageFormat::Html5 ? 1 : 0)
        ->setChecked(true);
}

void OptionsDialog::applyRobotsRule(int index)
{
    // The link fields belong to "robots allowed"; they keep their texts
    // while closed, and the texts are saved either way.
    const bool linkToHome = (index == 2);
    m_textHomeName->setEnabled(linkToHome);
    m_textUrl->setEnabled(linkToHome);
}

StoredSettings OptionsDialog::settings() const
{
    StoredSettings s;
    s.DousaSettei = m_chkBrowser->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    s.KensakuSettei = QString::number(m_optSettei->checkedId());
    s.HomeName = m_textHomeName->text();
    s.HomeURL = m_textUrl->text();
    s.KakucyosiSettei = m_optKcyosi->checkedId() == 1 ? QStringLiteral("1") : QStringLiteral("0");
    s.MojiCodeSettei = settingFromPageEncoding(
        m_optMoji->checkedId() == 1 ? PageEncoding::Utf8 : PageEncoding::ShiftJis);
    s.KeishikiSettei = m_optKeishiki->checkedId() == 1 ? QStringLiteral("1") : QStringLiteral("0");
    return s;
}

void OptionsDialog::saveSettings()
{
    const std::optional<FileError> error = writeStoredSettings(settings(), m_settingsPath);
    if (!error)
        return;
    // Closing goes on: the user has been told, and there is nothing to retry
    // from inside a dialog that has no cancel.
    m_desktop.warning(tr("オプション設定を保存できませんでした。\n%1\n理由: %2")
                          .arg(QDir::toNativeSeparators(error->path), error->reason));
}

void OptionsDialog::done(int result)
{
    // The warning box of a failed save runs an event loop; a second close
    // arriving meanwhile is left to the first, which closes once the user
    // has read the warning.
    if (m_saving)
        return;
    if (isVisible()) {
        m_saving = true;
        saveSettings();
        m_saving = false;
    }
    QDialog::done(result);
}

void showOptionsDialog(QWidget *mainWindow, const ProgramPaths &paths, Desktop &desktop)
{
    OptionsDialog dialog(paths.settingsFile, desktop, mainWindow);
    placeAt(&dialog, mainWindow, 3135, 870);
    dialog.exec();
}

} // namespace zelmora
