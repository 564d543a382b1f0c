// The start-up reference: one widget with the main window's caption and size
// that paints, with QPainter::drawText, every string the main window shows
// in its first paint, in the same faces and sizes and at the same places
// (the layout tables' rectangles, in twips). It builds no controls. What it
// costs over the bare window is what any window pays to show this Japanese
// text at all: the font configuration, the CJK faces and the shaping of
// every string. The program is measured against it.

#include "support/main_window_layout.h"

#include <QApplication>
#include <QList>
#include <QPainter>
#include <QWidget>

#include <string_view>

namespace {

constexpr int twips(int value)
{
    return (value + 7) / 15;
}

// A string in a control at (left, top, width, height) twips, measured from
// the window's corner.
struct Text {
    const char16_t *text;
    int left, top, width, height;
    enum Face { Form, Small, Command, SettingsWord, HelpMark } face;
    enum Place { Left, Centre, Option, Edit, Bottom } place;
};

bool startsWith(const char16_t *name, std::u16string_view prefix)
{
    return name && std::u16string_view(name).substr(0, prefix.size()) == prefix;
}

// The captions of the main window's layout table that its first paint
// shows, placed in the window: page 1's inputs inside the tab control, the
// background's inside Frame8.
QList<Text> firstPaintTexts()
{
    using namespace zelmora::layout;
    QList<Text> texts;
    auto add = [&](const Row &row, int left, int top) {
        if (std::u16string_view(row.caption).empty())
            return;
        const bool small = !row.name || startsWith(row.name, u"Label_BK");
        const Text::Face face = small          ? Text::Small
            : startsWith(row.name, u"Command") ? Text::Command
                                               : Text::Form;
        const Text::Place place = small                                          ? Text::Bottom
            : startsWith(row.name, u"Option")                                    ? Text::Option
            : startsWith(row.name, u"p_Text") || startsWith(row.name, u"w_Text") ? Text::Edit
            : startsWith(row.name, u"t_Label")                                   ? Text::Left
                                                                                 : Text::Centre;
        texts.append(
            {row.caption, left + row.left, top + row.top, row.width, row.height, face, place});
    };
    for (const Row &row : kWindowRows)
        add(row, 0, 0);
    // The words of the picture buttons, drawn as outlines in the bold face.
    texts.append(
        {u"設定", kToolsLeft + 510, kToolsTop + 150, 400, 400, Text::SettingsWord, Text::Centre});
    texts.append(
        {u"?", kToolsLeft + 1350, kToolsTop + 150, 400, 400, Text::HelpMark, Text::Centre});
    for (const Row &row : kBackgroundRows)
        add(row, kBackgroundLeft, kBackgroundTop);
    for (const Row &row : kPageRows)
        add(row, kTabsLeft + kPageLeft, kTabsTop + kPageTop);
    return texts;
}

QFont gothic(double points, bool bold = false)
{
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

class TextReference : public QWidget {
public:
    TextReference()
    {
        setWindowTitle(QStringLiteral("ポップリーフ作成"));
        setFixedSize(twips(zelmora::layout::kWindowWidth), twips(zelmora::layout::kWindowHeight));
        setFont(gothic(8));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QFont faces[5] = {gothic(8), gothic(6), gothic(9, true), gothic(9, true), gothic(9, true)};
        faces[Text::SettingsWord].setPixelSize(10);
        faces[Text::HelpMark].setPixelSize(21);
        for (const Text &t : m_texts) {
            QRect r(twips(t.left), twips(t.top), twips(t.width), twips(t.height));
            int flags = Qt::AlignLeft | Qt::AlignVCenter;
            switch (t.place) {
            case Text::Left:
                break;
            case Text::Centre:
                flags = Qt::AlignCenter;
                break;
            case Text::Option:
                r.adjust(19, 0, 0, 0);
                break; // beside the round mark
            case Text::Edit:
                r.adjust(4, 0, -4, 0);
                break; // inside the frame
            case Text::Bottom:
                flags = Qt::AlignLeft | Qt::AlignBottom;
                break;
            }
            p.setFont(faces[t.face]);
            p.drawText(r, flags | Qt::TextShowMnemonic, QString::fromUtf16(t.text));
        }
        // The six tab captions share the tab row evenly.
        p.setFont(faces[Text::Form]);
        using zelmora::layout::kTabsLeft, zelmora::layout::kTabsTop, zelmora::layout::kTabsWidth;
        const int tabWidth = (twips(kTabsWidth) - 2) / 6;
        for (int k = 1; k <= 6; ++k)
            p.drawText(QRect(twips(kTabsLeft) + (k - 1) * tabWidth, twips(kTabsTop), tabWidth, 22),
                       Qt::AlignCenter, QStringLiteral("Page") + QChar(0xFF10 + k));
    }

private:
    const QList<Text> m_texts = firstPaintTexts();
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TextReference window;
    window.show();
    return app.exec();
}
