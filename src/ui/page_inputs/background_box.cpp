#include "ui/page_inputs/background_box.h"

#include "ui/page_inputs/colour_code.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/keyboard.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>

namespace zelmora {

BackgroundBox::BackgroundBox(QWidget *parent) : QGroupBox(parent)
{
    setObjectName(QStringLiteral("Frame8"));
    setAccessibleName(tr("背景の種類")); // a frame without a caption
    setGeometry(twipsRect(190, 720, 5295, 1185));

    m_kind = new QButtonGroup(this);
    m_kind->setObjectName(QStringLiteral("Option0"));
    m_kind->addButton(placeControl(new QRadioButton(tr("バックカラー"), this),
                                   QStringLiteral("Option0_0"), 480, 240, 1335, 375),
                      int(BackgroundKind::Colour));
    m_colourButton = placeControl(new QPushButton(tr("参照"), this), QStringLiteral("SelColor_BK"),
                                  1920, 240, 495, 255);
    // Too narrow in the tables for a mnemonic after the caption.
    m_kind->addButton(placeControl(new QRadioButton(tr("背景画像"), this),
                                   QStringLiteral("Option0_1"), 3000, 240, 1335, 375),
                      int(BackgroundKind::Picture));
    m_pictureButton = placeControl(new QPushButton(tr("参照"), this),
                                   QStringLiteral("OpenFiles_BK"), 4440, 240, 495, 255);
    // Its face before its text, so the text is never measured in the form's
    // larger face.
    m_attribute = placeControl(new QLabel(this), QStringLiteral("Label_BK"), 600, 840, 855, 135);
    m_attribute->setTextFormat(Qt::PlainText);
    m_attribute->setFont(smallCaptionFont());
    m_attribute->setText(kInitialColourAttribute);
    // A 9-pixel row: on its bottom edge the descender of "g" still shows.
    m_attribute->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    m_value = placeControl(new QLineEdit(this), QStringLiteral("Text_BK"), 1560, 720, 3135, 270);
    // Text_BK takes its accessible name from this label, so it follows the
    // kind: "BgColor=" or "BackGround=".
    m_attribute->setBuddy(m_value);

    // Enter presses the focused button, as Space does; each 参照 says what
    // it chooses.
    m_colourButton->setAutoDefault(true);
    m_colourButton->setAccessibleName(tr("バックカラーの参照"));
    m_pictureButton->setAutoDefault(true);
    m_pictureButton->setAccessibleName(tr("背景画像の参照"));
    giveCaptionTheWholeButton(m_colourButton);
    giveCaptionTheWholeButton(m_pictureButton);

    // The start state is set directly: running the rule here would replace
    // the initial caption "BgColor＝".
    // A style with a wider round mark than the tables allowed for (Adwaita)
    // gets the room up to the 参照 beside each option.
    for (QAbstractButton *option : m_kind->buttons()) {
        QStyleOptionButton look;
        look.initFrom(option);
        const int room
            = option->style()->subElementRect(QStyle::SE_RadioButtonContents, &look, option).width();
        const int missing = option->fontMetrics().horizontalAdvance(option->text()) - room;
        if (missing > 0)
            option->resize(option->width() + missing, option->height());
    }

    m_kind->button(int(BackgroundKind::Colour))->setChecked(true);
    tabIntoCheckedButton(m_kind);
    m_pictureButton->setEnabled(false);

    connect(m_kind, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            applyKindRule();
    });
    connect(m_colourButton, &QPushButton::clicked, this, &BackgroundBox::chooseColour);
    connect(m_pictureButton, &QPushButton::clicked, this, &BackgroundBox::pictureRequested);
}

BackgroundKind BackgroundBox::kind() const
{
    return BackgroundKind(m_kind->checkedId());
}

void BackgroundBox::selectKind(BackgroundKind kind)
{
    if (!selectButton(m_kind, int(kind)))
        applyKindRule();
}

void BackgroundBox::applyKindRule()
{
    const bool colour = kind() == BackgroundKind::Colour;
    m_colourButton->setEnabled(colour);
    m_pictureButton->setEnabled(!colour);
    m_attribute->setText(colour ? kColourAttribute : kPictureAttribute);
    m_value->clear();
}

QString BackgroundBox::attribute() const
{
    return m_attribute->text();
}

void BackgroundBox::setAttribute(const QString &attribute)
{
    m_attribute->setText(attribute);
}

QString BackgroundBox::value() const
{
    return m_value->text();
}

void BackgroundBox::setValue(const QString &value)
{
    m_value->setText(value);
    m_value->setCursorPosition(0);
}

void BackgroundBox::chooseColour()
{
    QColorDialog dialog(window());
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    // Qt's own dialog on every desktop, so that it behaves the same everywhere.
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    static const QRegularExpression colourValue(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (colourValue.match(m_value->text()).hasMatch())
        dialog.setCurrentColor(QColor(m_value->text()));
    else
        dialog.setCurrentColor(Qt::black);
    if (dialog.exec() != QDialog::Accepted)
        return;
    setValue(htmlColour(colorRef(dialog.selectedColor())));
}

bool BackgroundBox::isOpenPictureButton(const QWidget *widget) const
{
    return widget == m_pictureButton && m_pictureButton->isEnabled();
}

} // namespace zelmora
