#include "ui/page_inputs/page_inputs.h"

#include "ui/kit/form_layout.h"
#include "ui/kit/keyboard.h"
#include "ui/kit/limited_text_edit.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zelmora {

namespace {

struct KindOption {
    PageKind kind;
    const char *caption;
    char mnemonic; // the same on every page: only the page shown takes it
    int top;
};

constexpr KindOption kKindOptions[] = {
    {PageKind::None, QT_TRANSLATE_NOOP("zelmora::PageInputs", "なし"), 'N', 4680},
    {PageKind::Text, QT_TRANSLATE_NOOP("zelmora::PageInputs", "テキスト"), 'T', 240},
    {PageKind::StandardPicture,
     QT_TRANSLATE_NOOP("zelmora::PageInputs", "イメージ（標準　115*150 pix）"), 'I', 2280},
    {PageKind::WidePicture,
     QT_TRANSLATE_NOOP("zelmora::PageInputs", "イメージ（ワイド　115*250 pix）"), 'W', 3480},
};

// The wide picture's row lies this far below the standard one.
constexpr int kWideRowOffset = 1200;

QLabel *staticCaption(const QString &caption, int left, int top, int width, QWidget *parent)
{
    // Its face first, then its text, so the text is never measured in the
    // form's larger face.
    auto *label = new QLabel(parent);
    label->setGeometry(twipsRect(left, top, width, 135));
    label->setFont(smallCaptionFont());
    label->setText(caption);
    // A 9-pixel row: sitting on its bottom edge keeps the full-width letters whole.
    label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    return label;
}

// The start of each input's name for screen readers: its tab's caption
// ("Page１" .. "Page６", full-width digits) and a space.
QString accessiblePrefix(int pageNumber)
{
    return QStringLiteral("Page") + QChar(0xFF10 + pageNumber) + u' ';
}

} // namespace

PageInputs::PageInputs(int pageNumber, QWidget *parent) :
    QGroupBox(parent), m_pageNumber(pageNumber)
{
    const QString k = QString::number(pageNumber);
    setObjectName(QStringLiteral("Frame") + k);
    // The frame has no caption; without a name a screen reader meets six
    // groups of the same four options and cannot tell the pages apart.
    setAccessibleName(tr("%1の種類").arg(accessiblePrefix(pageNumber)));
    resize(twipsSize(4935, 5055));

    m_kind = new QButtonGroup(this);
    m_kind->setObjectName(QStringLiteral("Option") + k);
    for (const KindOption &option : kKindOptions) {
        const int index = int(option.kind);
        auto *button
            = placeControl(new QRadioButton(this), QStringLiteral("Option%1_%2").arg(k).arg(index),
                           240, option.top, 4335, 375);
        setMnemonicCaption(button, tr(option.caption), option.mnemonic);
        m_kind->addButton(button, index);
    }
    m_kind->button(int(PageKind::None))->setChecked(true);
    tabIntoCheckedButton(m_kind);

    m_text = placeControl(new LimitedTextEdit(kTextLimit, this), QStringLiteral("Text") + k, 720,
                          720, 3650, 1215);
    m_text->setAccessibleName(tr("%1テキスト").arg(accessiblePrefix(pageNumber)));

    // Names for screen readers: the tab's caption, then what the input holds
    // in the words of the page's own captions, so that the twelve 参照
    // buttons and the twelve ＡＬＴ boxes of the window each say which is which.
    const QString tab = accessiblePrefix(pageNumber);

    for (int picture : {kStandard, kWide}) {
        const int row = picture == kStandard ? 0 : kWideRowOffset;
        const QString what = picture == kStandard ? tr("%1イメージ（標準）").arg(tab)
                                                  : tr("%1イメージ（ワイド）").arg(tab);
        QLabel *src = staticCaption(tr("ＳＲＣ＝"), 360, 2760 + row, 615, this);
        m_fileName[picture]
            = placeControl(new QLabel(this), QStringLiteral("Label%1_%2").arg(k).arg(picture), 1080,
                           2760 + row, 3255, 255);
        // A file name is shown as it stands, never read as markup.
        m_fileName[picture]->setTextFormat(Qt::PlainText);
        m_pictureButton[picture]
            = placeControl(new QPushButton(tr("参照"), this),
                           QStringLiteral("OpenFiles_") + k + (picture == kStandard ? u'p' : u'w'),
                           4440, 2640 + row, 495, 255);
        m_pictureButton[picture]->setAutoDefault(true); // Enter presses it, as Space does
        giveCaptionTheWholeButton(m_pictureButton[picture]);
        m_pictureButton[picture]->setAccessibleName(tr("%1の参照").arg(what));
        src->setBuddy(m_pictureButton[picture]);
        QLabel *alt = staticCaption(tr("ＡＬＴ＝"), 360, 3120 + row, 495, this);
        // The text only after the box has its parent's face:
        // QLineEdit(text, parent) lays the text out in QFont() first.
        m_alternativeText[picture] = placeControl(new QLineEdit(this),
                                                  (picture == kStandard ? QStringLiteral("p_Text")
                                                                        : QStringLiteral("w_Text"))
                                                      + k,
                                                  1080, 3000 + row, 3255, 270);
        setAlternativeText(picture, kDefaultAlt);
        m_alternativeText[picture]->setCursorPosition(0);
        m_alternativeText[picture]->setAccessibleName(tr("%1のＡＬＴ").arg(what));
        alt->setBuddy(m_alternativeText[picture]);
        connect(m_pictureButton[picture], &QPushButton::clicked, this,
                [this, picture] { emit pictureRequested(picture); });
    }

    // A click on the option already selected changes nothing, so only a
    // change of selection runs the rule; selectKind() covers the program.
    connect(m_kind, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            applyKindRule();
    });
    applyKindRule();
}

PageKind PageInputs::kind() const
{
    return PageKind(m_kind->checkedId());
}

void PageInputs::selectKind(PageKind kind)
{
    if (!selectButton(m_kind, int(kind)))
        applyKindRule();
}

void PageInputs::applyKindRule()
{
    // Looks only at the option now selected and never changes a value.
    const PageKind now = kind();
    m_text->setEnabled(now == PageKind::Text);
    for (int picture : {kStandard, kWide}) {
        const bool open
            = now == (picture == kStandard ? PageKind::StandardPicture : PageKind::WidePicture);
        m_fileName[picture]->setEnabled(open);
        m_pictureButton[picture]->setEnabled(open);
        m_alternativeText[picture]->setEnabled(open);
    }
    emit kindRuleRan(now);
}

Page PageInputs::page() const
{
    Page page;
    page.kind = kind();
    page.text = m_text->crlfText();
    page.standardFile = m_fileName[kStandard]->text();
    page.standardAlt = m_alternativeText[kStandard]->text();
    page.wideFile = m_fileName[kWide]->text();
    page.wideAlt = m_alternativeText[kWide]->text();
    return page;
}

void PageInputs::showPage(const Page &page)
{
    setText(page.text);
    setFileName(kStandard, page.standardFile);
    setAlternativeText(kStandard, page.standardAlt);
    setFileName(kWide, page.wideFile);
    setAlternativeText(kWide, page.wideAlt);
    selectKind(page.kind);
}

void PageInputs::setText(const QString &crlfText)
{
    m_text->setCrlfText(crlfText);
}

void PageInputs::setFileName(int picture, const QString &name)
{
    m_fileName.at(picture)->setText(name);
}

void PageInputs::setAlternativeText(int picture, const QString &text)
{
    QLineEdit *edit = m_alternativeText.at(picture);
    edit->setText(text);
    edit->setCursorPosition(0);
}

void PageInputs::takePicture(int picture, const QString &name)
{
    setFileName(picture, name);
    setAlternativeText(picture, name);
}

std::optional<int> PageInputs::openPictureButton(const QWidget *widget) const
{
    for (int picture : {kStandard, kWide}) {
        if (widget == m_pictureButton[picture] && widget->isEnabled() && isEnabled())
            return picture;
    }
    return std::nullopt;
}

} // namespace zelmora
