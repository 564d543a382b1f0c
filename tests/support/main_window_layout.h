#pragma once

// The main window's layout table: where each control sits, in twips inside
// its parent, with its caption and tooltip. The window-layout test checks
// the window against it; the start-up benchmark's reference window paints
// the same captions at the same places.

namespace zelmora::layout {

struct Row {
    // The control's objectName; in a page's rows "%1" stands for the page
    // number. nullptr for a caption without a name (ＳＲＣ＝, ＡＬＴ＝).
    const char16_t *name;
    int left, top, width, height;
    // As set on the control: "(&S)" marks the mnemonic, shown as "(S)".
    const char16_t *caption = u"";
    const char16_t *tooltip = u"";
};

// Form1's client area.
inline constexpr int kWindowWidth = 5655, kWindowHeight = 8475;

// The controls of Form1 itself.
inline constexpr Row kWindowRows[] = {
    {u"t_Label1", 210, 120, 2655, 255, u"タイトル名　（ファイル名も同じ）"},
    {u"t_Text", 190, 390, 1965, 270},
    {u"Sel_FleName", 2280, 405, 495, 255, u"開く", u"ファイルを開きます"},
    {u"Frame7", 3635, 0, 1855, 630},
    {u"Frame8", 190, 720, 5295, 1185},
    {u"SSTab1", 120, 2040, 5415, 5775},
    {u"Command3", 240, 7920, 1600, 375, u"閉じる(&C)", u"アプリケーションを終了します"},
    {u"Command2", 2040, 7920, 1600, 375, u"プレビュー(&P)", u"ポップリーフの確認をします"},
    {u"Command1", 3840, 7920, 1600, 375, u"作成(&S)", u"ポップリーフを作成します"},
};

// The picture buttons, inside Frame7.
inline constexpr int kToolsLeft = 3635, kToolsTop = 0;
inline constexpr Row kToolRows[] = {
    {u"PLF_Open_btn", 90, 150, 400, 400, u"", u"ポップリーフフォルダを開きます"},
    {u"Option_btn", 510, 150, 400, 400, u"", u"設定フォームを開きます"},
    {u"Publish_btn", 930, 150, 400, 400, u"", u"ポップリーフをサイトに公開します"},
    {u"Help", 1350, 150, 400, 400, u"", u"ヘルプを表示します"},
};

// The background inputs, inside Frame8.
inline constexpr int kBackgroundLeft = 190, kBackgroundTop = 720;
inline constexpr Row kBackgroundRows[] = {
    {u"Option0_0", 480, 240, 1335, 375, u"バックカラー"},
    {u"SelColor_BK", 1920, 240, 495, 255, u"参照"},
    {u"Option0_1", 3000, 240, 1335, 375, u"背景画像"},
    {u"OpenFiles_BK", 4440, 240, 495, 255, u"参照"},
    {u"Label_BK", 600, 840, 855, 135, u"BgColor＝"},
    {u"Text_BK", 1560, 720, 3135, 270},
};

// Each page's container, counted from the tab control's corner, and the
// page's inputs inside it.
inline constexpr int kTabsLeft = 120, kTabsTop = 2040, kTabsWidth = 5415;
inline constexpr int kPageLeft = 240, kPageTop = 480, kPageWidth = 4935, kPageHeight = 5055;
inline constexpr Row kPageRows[] = {
    {u"Option%1_1", 240, 240, 4335, 375, u"テキスト(&T)"},
    {u"Text%1", 720, 720, 3650, 1215},
    {u"Option%1_2", 240, 2280, 4335, 375, u"イメージ（標準　115*150 pix）(&I)"},
    {nullptr, 360, 2760, 615, 135, u"ＳＲＣ＝"},
    {u"Label%1_0", 1080, 2760, 3255, 255},
    {u"OpenFiles_%1p", 4440, 2640, 495, 255, u"参照"},
    {nullptr, 360, 3120, 495, 135, u"ＡＬＴ＝"},
    {u"p_Text%1", 1080, 3000, 3255, 270, u"ピクチャ名称"},
    {u"Option%1_3", 240, 3480, 4335, 375, u"イメージ（ワイド　115*250 pix）(&W)"},
    {nullptr, 360, 3960, 615, 135, u"ＳＲＣ＝"},
    {u"Label%1_1", 1080, 3960, 3255, 255},
    {u"OpenFiles_%1w", 4440, 3840, 495, 255, u"参照"},
    {nullptr, 360, 4320, 495, 135, u"ＡＬＴ＝"},
    {u"w_Text%1", 1080, 4200, 3255, 270, u"ピクチャ名称"},
    {u"Option%1_0", 240, 4680, 4335, 375, u"なし(&N)"},
};

} // namespace zelmora::layout
