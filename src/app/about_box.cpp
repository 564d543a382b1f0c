#include "app/about_box.h"

#include "core/generate/css_colour.h"
#include "ui/kit/form_layout.h"

#include "build_config.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace zelmora {

namespace {

QString aboutTitle()
{
    return AboutBox::tr("バージョン情報");
}

void showAboutMenu(QAbstractButton *button, const QPoint &globalPos)
{
    QMenu menu(button);
    menu.setObjectName(QStringLiteral("HelpMenu"));
    QAction *about = menu.addAction(AboutBox::tr("バージョン情報(&A)"));
    // Highlighted, so that Enter takes it after Shift+F10 or the Menu key.
    menu.setActiveAction(about);
    if (menu.exec(globalPos) != about)
        return;
    AboutBox box(button->window());
    box.exec();
}

double luminance(const QColor &c)
{
    return relativeLuminance(c.redF(), c.greenF(), c.blueF());
}

// The palette's link colour (the label's rich text otherwise takes the
// application's at the time the text is set), moved toward the palette's text colour until it
// reads at 4.5:1 on the window: a dark palette often keeps Qt's default blue.
QColor readableLink(const QPalette &palette)
{
    const QColor back = palette.color(QPalette::Window), text = palette.color(QPalette::WindowText);
    const double backLight = luminance(back);
    QColor link = palette.color(QPalette::Link);
    for (int step = 1; step <= 10; ++step) {
        const double l = luminance(link);
        if (contrastRatio(l, backLight) >= 4.5)
            break;
        const QColor from = palette.color(QPalette::Link);
        const double t = step / 10.0;
        link = QColor::fromRgbF(from.redF() + (text.redF() - from.redF()) * t,
                                from.greenF() + (text.greenF() - from.greenF()) * t,
                                from.blueF() + (text.blueF() - from.blueF()) * t);
    }
    return link;
}

} // namespace

AboutBox::AboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(aboutTitle());
    setFont(gothicFont(9));

    const QString url = QStringLiteral(ZELMORA_HOMEPAGE_URL);
    auto *text = new QLabel(this);
    text->setObjectName(QStringLiteral("AboutText"));
    text->setTextFormat(Qt::RichText);
    text->setText(tr("<p><b>Zelmora</b> バージョン %1</p>"
                     "<p>ポップアップページ一式（ポップリーフ）を作ります。</p>"
                     "<p>ライセンス: GNU General Public License バージョン 3 以降 (%2)</p>"
                     "<p>不具合の報告と最新版: <a href=\"%3\" style=\"color:%4\">%3</a></p>")
                      .arg(QStringLiteral(ZELMORA_VERSION), QStringLiteral(ZELMORA_LICENSE),
                           url.toHtmlEscaped(), readableLink(text->palette()).name()));
    text->setOpenExternalLinks(true);
    text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    text->setAccessibleName(aboutTitle());

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("AboutOk"));
    ok->setText(tr("ＯＫ"));
    ok->setIcon(QIcon()); // as the other windows' ＯＫ, whatever the style adds
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
}

void addAboutMenu(QAbstractButton *button)
{
    // A right click and the Menu key (which the platform turns into a
    // context-menu event) come as customContextMenuRequested; Shift+F10
    // is no key of the platform's, so it gets a shortcut of its own.
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, button,
                     [button](const QPoint &pos) {
                         showAboutMenu(button, button->mapToGlobal(pos));
                     });
    auto *shiftF10 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), button);
    shiftF10->setContext(Qt::WidgetShortcut);
    QObject::connect(shiftF10, &QShortcut::activated, button, [button] {
        showAboutMenu(button, button->mapToGlobal(button->rect().bottomLeft()));
    });
}

} // namespace zelmora
