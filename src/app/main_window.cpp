#include "app/main_window.h"

#include "app/about_box.h"
#include "app/draft_keeper.h"
#include "core/files/draft_file.h"
#include "ui/page_inputs/background_box.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/icons.h"
#include "ui/kit/keyboard.h"
#include "ui/image_picker/image_picker.h"
#include "ui/page_inputs/page_inputs.h"
#include "ui/page_inputs/page_tabs.h"
#include "core/files/picture_import.h"
#include "ui/publish/publish_windows.h"
#include "ui/options/options_dialog.h"

#include <QAccessibleWidget>
#include <QDropEvent>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

#include <cmath>

namespace zelmora {

namespace {

// The face, when the button has its own, before the caption: the caption is
// then only ever measured in the face it is shown in.
QPushButton *commandButton(const QString &caption, const QString &tooltip, QWidget *parent,
                           const QFont *face = nullptr, char mnemonic = 0)
{
    auto *button = new QPushButton(parent);
    if (face)
        button->setFont(*face);
    if (mnemonic)
        setMnemonicCaption(button, caption, mnemonic);
    else
        button->setText(caption);
    button->setToolTip(tooltip);
    // Enter and keypad Enter press the focused button, as Space does.
    button->setAutoDefault(true);
    return button;
}

QPushButton *pictureButton(const QIcon &picture, const QString &tooltip, QWidget *parent)
{
    auto *button = commandButton(QString(), tooltip, parent);
    button->setIcon(picture);
    const int side = int(std::lround(kButtonPictureSize * formScale()));
    button->setIconSize(QSize(side, side));
    // No caption to read out: the tooltip says what the button does.
    button->setAccessibleName(tooltip);
    return button;
}

// Qt describes a plain top-level widget as a client area, which screen
// readers announce as a filler, not as the application's window.
QAccessibleInterface *windowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String(MainWindow::staticMetaObject.className())
        && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

MainWindow::MainWindow(Desktop &desktop, const ProgramPaths &paths) :
    m_desktop(desktop), m_paths(paths), m_windows(this, m_paths, desktop)
{
    setObjectName(QStringLiteral("Form1"));
    static const bool accessibleAsWindow = (QAccessible::installFactory(windowAccessible), true);
    Q_UNUSED(accessibleAsWindow);
    setWindowTitle(tr("ポップリーフ作成"));
    // The program sets the application's icon before it builds this window;
    // drawing it again here would paint every size twice at start-up.
    setWindowIcon(QGuiApplication::windowIcon().isNull() ? applicationIcon()
                                                         : QGuiApplication::windowIcon());
    setFont(formFont());
    setFixedSize(twipsSize(5655, 8475));
    buildControls();
    connectCommands();

    // At start only page 1 is open (the tabs close pages 2 to 6 as they are
    // built, since page 1 starts as "なし"). The paths were set, and the
    // output folder created, before the window was built.
    m_draft = new DraftKeeper(*this, m_desktop, m_paths.settingsFile, this);
    setAcceptDrops(true);
}

std::optional<MainWindow::PictureTarget> MainWindow::pictureTargetAt(const QPoint &pos) const
{
    for (QWidget *widget = childAt(pos); widget && widget != this;
         widget = widget->parentWidget()) {
        if (m_background->isOpenPictureButton(widget))
            return PictureTarget{};
        if (const auto input = m_tabs->openPictureButton(widget))
            return PictureTarget{input->page, input->picture};
    }
    return std::nullopt;
}

void MainWindow::endPreview()
{
    m_windows.endPreview();
}

void MainWindow::run(Command command)
{
    command({*this, m_state, m_paths, m_desktop, m_windows});
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedPictureFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (pictureTargetAt(event->position().toPoint())
        && !droppedPictureFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const std::optional<PictureTarget> target = pictureTargetAt(event->position().toPoint());
    const QStringList files = droppedPictureFiles(event->mimeData());
    if (!target || files.isEmpty())
        return;
    event->acceptProposedAction();
    importPicturesFor(*target, files);
}

void MainWindow::importPicturesFor(const PictureTarget &target, const QStringList &files)
{
    setCursor(Qt::BusyCursor);
    importPicturesInBackground(this, files, m_paths.outputFolder,
                               [this, target](const QStringList &names,
                                              const QStringList &problems) {
                                   unsetCursor();
                                   if (!names.isEmpty()) {
                                       takePicture(target, names.first());
                                       m_draft->saveNow();
                                   }
                                   if (!problems.isEmpty())
                                       m_desktop.warning(pictureImportMessage(problems));
                               });
}

void MainWindow::buildControls()
{
    auto *titleLabel = placeControl(new QLabel(tr("タイトル名　（ファイル名も同じ）"), this),
                                    QStringLiteral("t_Label1"), 210, 120, 2655, 255);
    m_title = placeControl(new QLineEdit(this), QStringLiteral("t_Text"), 190, 390, 1965, 270);
    titleLabel->setBuddy(m_title);
    m_title->setAccessibleName(titleLabel->text());
    m_open = placeControl(commandButton(tr("開く"), tr("ファイルを開きます"), this),
                          QStringLiteral("Sel_FleName"), 2280, 405, 495, 255);
    giveCaptionTheWholeButton(m_open);

    auto *tools = placeControl(new QGroupBox(this), QStringLiteral("Frame7"), 3635, 0, 1855, 630);
    m_folder
        = placeControl(pictureButton(folderIcon(), tr("ポップリーフフォルダを開きます"), tools),
                       QStringLiteral("PLF_Open_btn"), 90, 150, 400, 400);
    m_options = placeControl(pictureButton(settingsIcon(), tr("設定フォームを開きます"), tools),
                             QStringLiteral("Option_btn"), 510, 150, 400, 400);
    m_publish
        = placeControl(pictureButton(publishIcon(), tr("ポップリーフをサイトに公開します"), tools),
                       QStringLiteral("Publish_btn"), 930, 150, 400, 400);
    m_help = placeControl(pictureButton(helpIcon(), tr("ヘルプを表示します"), tools),
                          QStringLiteral("Help"), 1350, 150, 400, 400);

    m_background = new BackgroundBox(this);
    // Page 1's inputs come before the commands below them in the focus
    // chain; the pages built later are put after page 1's.
    m_tabs = new PageTabs(this);
    connect(m_tabs, &PageTabs::pictureRequested, this, [this](int k, int picture) {
        choosePicture(PictureTarget{k, picture});
    });

    const QFont commandFace = gothicFont(9, true);
    m_close = placeControl(commandButton(tr("閉じる"), tr("アプリケーションを終了します"), this,
                                         &commandFace, 'C'),
                           QStringLiteral("Command3"), 240, 7920, 1600, 375);
    m_preview = placeControl(commandButton(tr("プレビュー"), tr("ポップリーフの確認をします"), this,
                                           &commandFace, 'P'),
                             QStringLiteral("Command2"), 2040, 7920, 1600, 375);
    m_create = placeControl(commandButton(tr("作成"), tr("ポップリーフを作成します"), this,
                                          &commandFace, 'S'),
                            QStringLiteral("Command1"), 3840, 7920, 1600, 375);

    connect(m_background, &BackgroundBox::pictureRequested, this,
            [this] { choosePicture(PictureTarget{}); });
}

void MainWindow::connectCommands()
{
    // The keys press the buttons, so a key does exactly what a click does
    // and nothing while its button is closed.
    const std::pair<QKeySequence, QPushButton *> keys[] = {
        {Qt::Key_F1, m_help},
        {Qt::CTRL | Qt::Key_O, m_open},
        {Qt::CTRL | Qt::Key_P, m_preview},
        {Qt::CTRL | Qt::Key_S, m_create},
        {Qt::CTRL | Qt::Key_Q, m_close},
        {Qt::CTRL | Qt::Key_W, m_close},
        {Qt::CTRL | Qt::Key_U, m_publish},
    };
    for (const auto &[key, button] : keys)
        connect(new QShortcut(key, this), &QShortcut::activated, button, &QAbstractButton::click);
    // The background's kinds have no caption to carry a mnemonic, and the
    // 参照 buttons are too narrow for one. Alt+B goes to the chosen kind of
    // the background; Alt+R presses the 参照 beside the chosen kind, the
    // background's while the focus is in it and the shown page's otherwise.
    connect(new QShortcut(Qt::ALT | Qt::Key_B, this), &QShortcut::activated, this, [this] {
        const QString kind = m_background->kind() == BackgroundKind::Colour
            ? QStringLiteral("Option0_0")
            : QStringLiteral("Option0_1");
        m_background->findChild<QWidget *>(kind)->setFocus(Qt::ShortcutFocusReason);
    });
    connect(new QShortcut(Qt::ALT | Qt::Key_R, this), &QShortcut::activated, this, [this] {
        QString button;
        if (m_background->isAncestorOf(focusWidget())) {
            button = m_background->kind() == BackgroundKind::Colour
                ? QStringLiteral("SelColor_BK")
                : QStringLiteral("OpenFiles_BK");
        } else {
            const int k = m_tabs->currentIndex() + 1;
            const PageKind kind = m_tabs->page(k)->kind();
            if (kind == PageKind::StandardPicture || kind == PageKind::WidePicture)
                button = QStringLiteral("OpenFiles_%1").arg(k)
                    + (kind == PageKind::WidePicture ? u'w' : u'p');
        }
        if (auto *browse = button.isEmpty() ? nullptr : findChild<QPushButton *>(button);
            browse && browse->isEnabled())
            browse->click();
    });
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_create, &QPushButton::clicked, this, [this] {
        run(createSet);
        // A creation that succeeded left the editor empty, which needs no draft.
        m_draft->saveNow();
    });
    connect(m_preview, &QPushButton::clicked, this, [this] { run(previewSet); });
    connect(m_open, &QPushButton::clicked, this, [this] {
        const PageSet before = pageSet();
        const QPointer<QWidget> focused = focusWidget();
        run(openSet);
        takeFocusBack(focused);
        // A set was read (a failed or cancelled open gives back the same
        // editor): it is safe in its own files until the user changes it.
        if (pageSet() != before)
            m_draft->markClean();
    });
    connect(m_options, &QPushButton::clicked, this,
            [this] { showOptionsDialog(this, m_paths, m_desktop); });
    connect(m_folder, &QPushButton::clicked, this,
            [this] { m_desktop.openUrl(QUrl::fromLocalFile(m_paths.outputFolder)); });
    connect(m_help, &QPushButton::clicked, this,
            [this] { m_desktop.openUrl(QUrl::fromLocalFile(m_paths.helpFile)); });
    addAboutMenu(m_help);
    const auto publish = [this](Command command) {
        run(command);
        m_draft->saveNow();
    };
    connect(m_publish, &QPushButton::clicked, this, [publish] { publish(publishSet); });
    addPublishMenu(
        m_publish, [publish] { publish(editPublishSite); },
        [publish] { publish(publishWholeSet); });
}

void MainWindow::choosePicture(const PictureTarget &target)
{
    // The picker opens beside the button that asked for it.
    const int left = target.page == 0 ? 3400 : 3615;
    const int top = target.page == 0 ? 695 : target.picture == PageInputs::kStandard ? 4890 : 6090;
    const QString name = pickImage(this, m_desktop, m_paths.outputFolder, left, top);
    // Closed without a pick: the file name and the alternative text the
    // user may have typed stay as they were.
    if (!name.isEmpty())
        takePicture(target, name);
}

void MainWindow::takeFocusBack(QWidget *focused)
{
    // The window manager gives the focus to the window a closing one was
    // transient for. When the set picker closes right after the message
    // over it, that window is the picker, already going, and the focus
    // falls to the desktop: no window takes a key until a click.
    activateWindow();
    if (!focused || !focused->isVisibleTo(this) || !focused->isEnabled())
        focused = m_title;
    focused->setFocus(Qt::ActiveWindowFocusReason);
}

void MainWindow::takePicture(const PictureTarget &target, const QString &name)
{
    if (target.page == 0)
        m_background->setValue(name);
    else
        m_tabs->page(target.page)->takePicture(target.picture, name);
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

void MainWindow::resetEditor()
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
