#include "app/main_window.h"

#include "editor/background_box.h"
#include "editor/form_layout.h"
#include "editor/icons.h"
#include "editor/image_picker.h"
#include "editor/page_inputs.h"
#include "editor/page_tabs.h"
#include "generate/create_command.h"
#include "preview/preview_command.h"
#include "reopen/set_picker.h"
#include "settings/options_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

namespace zelmora {

namespace {

QPushButton *commandButton(const QString &caption, const QString &tooltip, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setToolTip(tooltip);
    return button;
}

QPushButton *pictureButton(const QPixmap &picture, const QString &tooltip, QWidget *parent)
{
    auto *button = commandButton(QString(), tooltip, parent);
    button->setIcon(picture);
    button->setIconSize(picture.size());
    return button;
}

} // namespace

MainWindow::MainWindow(Desktop &desktop, const QString &programFolder)
    : MainWindow(desktop, InitProgramPaths(programFolder))
{
}

MainWindow::MainWindow(Desktop &desktop, const ProgramPaths &paths) : m_desktop(desktop), m_paths(paths)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("ポップリーフ作成"));
    setWindowIcon(applicationIcon());
    setFont(formFont());
    setFixedSize(twips(5655), twips(8475));
    buildControls();
    connectCommands();

    // Form_Load: only page 1 open. The paths were set, and the output folder
    // created, before the window was built.
    for (int k = 2; k <= kPageCount; ++k)
        m_tabs->page(k)->setEnabled(false);
}

void MainWindow::buildControls()
{
    placeControl(new QLabel(QStringLiteral("タイトル名　（ファイル名も同じ）"), this),
                 QStringLiteral("t_Label1"), 210, 120, 2655, 255);
    m_title = placeControl(new QLineEdit(this), QStringLiteral("t_Text"), 190, 390, 1965, 270);
    m_open = placeControl(commandButton(QStringLiteral("開く"), QStringLiteral("ファイルを開きます"), this),
                          QStringLiteral("Sel_FleName"), 2280, 405, 495, 255);

    auto *tools = placeControl(new QGroupBox(this), QStringLiteral("Frame7"), 4055, 0, 1435, 630);
    m_folder = placeControl(
        pictureButton(folderPicture(), QStringLiteral("ポップリーフフォルダを開きます"), tools),
        QStringLiteral("PLF_Open_btn"), 90, 150, 400, 400);
    m_options = placeControl(
        pictureButton(settingsPicture(), QStringLiteral("設定フォームを開きます"), tools),
        QStringLiteral("Option_btn"), 510, 150, 400, 400);
    m_help = placeControl(pictureButton(helpPicture(), QStringLiteral("ヘルプを表示します"), tools),
                          QStringLiteral("Help"), 930, 150, 400, 400);

    m_background = new BackgroundBox(this);
    m_tabs = new PageTabs(this);

    m_close = placeControl(commandButton(QStringLiteral("閉じる"),
                                         QStringLiteral("アプリケーションを終了します"), this),
                           QStringLiteral("Command3"), 240, 7920, 1600, 375);
    m_preview = placeControl(commandButton(QStringLiteral("プレビュー"),
                                           QStringLiteral("ポップリーフの確認をします"), this),
                             QStringLiteral("Command2"), 2040, 7920, 1600, 375);
    m_create = placeControl(commandButton(QStringLiteral("作成"),
                                          QStringLiteral("ポップリーフを作成します"), this),
                            QStringLiteral("Command1"), 3840, 7920, 1600, 375);
    for (QPushButton *button : {m_close, m_preview, m_create})
        button->setFont(gothicFont(9, true));

    for (int k = 1; k <= kPageCount; ++k) {
        PageInputs *page = m_tabs->page(k);
        // The chain: page k + 1 is open exactly while page k is not "なし".
        if (k < kPageCount) {
            PageInputs *next = m_tabs->page(k + 1);
            connect(page, &PageInputs::kindRuleRan, next,
                    [next](PageKind kind) { next->setEnabled(kind != PageKind::None); });
        }
        connect(page, &PageInputs::pictureRequested, this,
                [this, k](int picture) { choosePagePicture(k, picture); });
    }
    connect(m_background, &BackgroundBox::pictureRequested, this,
            &MainWindow::chooseBackgroundPicture);
}

void MainWindow::connectCommands()
{
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_create, &QPushButton::clicked, this,
            [this] { runCreateCommand(*this, m_state, m_paths, m_desktop); });
    connect(m_preview, &QPushButton::clicked, this,
            [this] { runPreviewCommand(this, *this, m_state, m_paths, m_desktop); });
    connect(m_open, &QPushButton::clicked, this,
            [this] { showSetPicker(this, *this, m_state, m_paths, m_desktop); });
    connect(m_options, &QPushButton::clicked, this, [this] { showOptionsDialog(this, m_paths); });
    connect(m_folder, &QPushButton::clicked, this, [this] {
        m_desktop.openUrl(QUrl::fromLocalFile(m_paths.StrOutFolder_S));
    });
    connect(m_help, &QPushButton::clicked, this, [this] {
        m_desktop.openUrl(QUrl::fromLocalFile(m_paths.StrHelpFile_S));
    });
}

void MainWindow::choosePagePicture(int k, int picture)
{
    const int top = picture == PageInputs::kStandard ? 4890 : 6090;
    const QString name = pickImage(this, m_paths.StrOutFolder_S, 3615, top);
    PageInputs *page = m_tabs->page(k);
    page->setFileName(picture, name);
    page->setAlternativeText(picture, name);
}

void MainWindow::chooseBackgroundPicture()
{
    m_background->setValue(pickImage(this, m_paths.StrOutFolder_S, 3400, 695));
}

PageSet MainWindow::pageSet() const
{
    PageSet set;
    set.title = m_title->text();
    for (int k = 1; k <= kPageCount; ++k)
        set.page(k) = m_tabs->page(k)->page();
    set.backgroundKind = m_background->kind();
    set.backgroundAttribute = m_background->attribute();
    set.backgroundValue = m_background->value();
    return set;
}

void MainWindow::showPageSet(const PageSet &set)
{
    setTitle(set.title);
    // The kind first: its rule empties the value and sets a caption, which the
    // set's own caption and value then replace.
    m_background->selectKind(set.backgroundKind);
    m_background->setAttribute(set.backgroundAttribute);
    m_background->setValue(set.backgroundValue);
    // In page order, so that each page's rule opens or closes the next one
    // after that page's own container has its state.
    for (int k = 1; k <= kPageCount; ++k)
        m_tabs->page(k)->showPage(set.page(k));
}

void MainWindow::setTitle(const QString &title)
{
    m_title->setText(title);
}

void MainWindow::ResetEditor()
{
    m_background->setValue(QString());
    for (int k = 1; k <= kPageCount; ++k)
        m_tabs->page(k)->setText(QString());
    for (int picture : {PageInputs::kStandard, PageInputs::kWide}) {
        for (int k = 1; k <= kPageCount; ++k)
            m_tabs->page(k)->setFileName(picture, QString());
    }
    for (int picture : {PageInputs::kStandard, PageInputs::kWide}) {
        for (int k = 1; k <= kPageCount; ++k)
            m_tabs->page(k)->setAlternativeText(picture, kDefaultAlt);
    }
    m_background->selectKind(BackgroundKind::Colour);
    for (int k = 1; k <= kPageCount; ++k)
        m_tabs->page(k)->selectKind(PageKind::None);
    m_tabs->setCurrentIndex(0);
}

} // namespace zelmora
