// The start-up reference: one widget with the main window's caption and size
// that paints, with QPainter::drawText, every string the main window shows
// in its first paint, in the same faces and sizes and at the same places
// (the layout tables' rectangles, in twips). It builds no controls. What it
// costs over the bare window is what any window pays to show this Japanese
// text at all: the font configuration, the CJK faces and the shaping of
// every string. The program is measured against it.

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

constexpr int twips(int value) { return (value + 7) / 15; }

// A string in a control at (left, top, width, height) twips, measured from
// the window's corner.
struct Text {
    const char16_t *text;
    int left, top, width, height;
    enum Face { Form, Small, Command, SettingsWord, HelpMark } face;
    enum Place { Left, Centre, Option, Edit, Bottom } place;
};

// Where the containers sit in the window: the background box, the picture
// buttons' box, and page 1's container inside the tab control.
constexpr int kBackgroundLeft = 190, kBackgroundTop = 720;
constexpr int kToolsLeft = 4055, kToolsTop = 0;
constexpr int kTabsLeft = 120, kTabsTop = 2040, kTabsWidth = 5415;
constexpr int kPageLeft = kTabsLeft + 240, kPageTop = kTabsTop + 480;

constexpr Text kTexts[] = {
    {u"タイトル名　（ファイル名も同じ）", 210, 120, 2655, 255, Text::Form, Text::Left},
    {u"開く", 2280, 405, 495, 255, Text::Form, Text::Centre},

    {u"設定", kToolsLeft + 510, kToolsTop + 150, 400, 400, Text::SettingsWord, Text::Centre},
    {u"?", kToolsLeft + 930, kToolsTop + 150, 400, 400, Text::HelpMark, Text::Centre},

    {u"バックカラー", kBackgroundLeft + 480, kBackgroundTop + 240, 1335, 375, Text::Form, Text::Option},
    {u"参照", kBackgroundLeft + 1920, kBackgroundTop + 240, 495, 255, Text::Form, Text::Centre},
    {u"背景画像", kBackgroundLeft + 3000, kBackgroundTop + 240, 1335, 375, Text::Form, Text::Option},
    {u"参照", kBackgroundLeft + 4440, kBackgroundTop + 240, 495, 255, Text::Form, Text::Centre},
    {u"BgColor＝", kBackgroundLeft + 600, kBackgroundTop + 840, 855, 135, Text::Small, Text::Bottom},

    {u"テキスト", kPageLeft + 240, kPageTop + 240, 4335, 375, Text::Form, Text::Option},
    {u"イメージ（標準　115*150 pix）", kPageLeft + 240, kPageTop + 2280, 4335, 375, Text::Form, Text::Option},
    {u"ＳＲＣ＝", kPageLeft + 360, kPageTop + 2760, 615, 135, Text::Small, Text::Bottom},
    {u"参照", kPageLeft + 4440, kPageTop + 2640, 495, 255, Text::Form, Text::Centre},
    {u"ＡＬＴ＝", kPageLeft + 360, kPageTop + 3120, 495, 135, Text::Small, Text::Bottom},
    {u"ピクチャ名称", kPageLeft + 1080, kPageTop + 3000, 3255, 270, Text::Form, Text::Edit},
    {u"イメージ（ワイド　115*250 pix）", kPageLeft + 240, kPageTop + 3480, 4335, 375, Text::Form, Text::Option},
    {u"ＳＲＣ＝", kPageLeft + 360, kPageTop + 3960, 615, 135, Text::Small, Text::Bottom},
    {u"参照", kPageLeft + 4440, kPageTop + 3840, 495, 255, Text::Form, Text::Centre},
    {u"ＡＬＴ＝", kPageLeft + 360, kPageTop + 4320, 495, 135, Text::Small, Text::Bottom},
    {u"ピクチャ名称", kPageLeft + 1080, kPageTop + 4200, 3255, 270, Text::Form, Text::Edit},
    {u"なし", kPageLeft + 240, kPageTop + 4680, 4335, 375, Text::Form, Text::Option},

    {u"閉じる", 240, 7920, 1600, 375, Text::Command, Text::Centre},
    {u"プレビュー", 2040, 7920, 1600, 375, Text::Command, Text::Centre},
    {u"作成", 3840, 7920, 1600, 375, Text::Command, Text::Centre},
};

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
        setFixedSize(twips(5655), twips(8475)); // Form1's client area
        setFont(gothic(8));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QFont faces[5] = {gothic(8), gothic(6), gothic(9, true), gothic(9, true), gothic(9, true)};
        faces[Text::SettingsWord].setPixelSize(10);
        faces[Text::HelpMark].setPixelSize(21);
        for (const Text &t : kTexts) {
            QRect r(twips(t.left), twips(t.top), twips(t.width), twips(t.height));
            int flags = Qt::AlignLeft | Qt::AlignVCenter;
            switch (t.place) {
            case Text::Left: break;
            case Text::Centre: flags = Qt::AlignCenter; break;
            case Text::Option: r.adjust(19, 0, 0, 0); break; // beside the round mark
            case Text::Edit: r.adjust(4, 0, -4, 0); break;   // inside the frame
            case Text::Bottom: flags = Qt::AlignLeft | Qt::AlignBottom; break;
            }
            p.setFont(faces[t.face]);
            p.drawText(r, flags, QString::fromUtf16(t.text));
        }
        // The six tab captions share the tab row evenly.
        p.setFont(faces[Text::Form]);
        const int tabWidth = (twips(kTabsWidth) - 2) / 6;
        for (int k = 1; k <= 6; ++k)
            p.drawText(QRect(twips(kTabsLeft) + (k - 1) * tabWidth, twips(kTabsTop), tabWidth, 22),
                       Qt::AlignCenter, QStringLiteral("Page") + QChar(0xFF10 + k));
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TextReference window;
    window.show();
    return app.exec();
}
