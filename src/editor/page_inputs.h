#pragma once

#include "editor/page_set.h"

#include <QGroupBox>

#include <array>

class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zelmora {

class LimitedTextEdit;

// The container of one page's inputs (Frame1 .. Frame6) with the page's kind
// rule: the inputs of the selected kind are open, the others closed but kept.
class PageInputs : public QGroupBox {
    Q_OBJECT
public:
    // Index of a picture in the file-name label array.
    static constexpr int kStandard = 0;
    static constexpr int kWide = 1;
    static constexpr int kTextLimit = 120;

    // How the page's text box is made. For the window's first paint it may
    // start as a stand-in that paints the same empty, closed box, the real
    // one (Text<k>) being made by completeTextBox(), by the kind rule
    // opening it, or by anything that sets its text.
    enum class TextBox { Now, AfterFirstPaint };

    PageInputs(int pageNumber, QWidget *parent = nullptr, TextBox textBox = TextBox::Now);

    // Makes the real text box in place of its stand-in, if there is one.
    void completeTextBox();

    int pageNumber() const { return m_pageNumber; }
    PageKind kind() const;
    // Selects the kind's option as a click would: the kind rule runs even
    // when the option was selected already.
    void selectKind(PageKind kind);

    Page page() const;
    // Fills every field of the page, selecting its kind as a click would.
    void showPage(const Page &page);

    void setText(const QString &crlfText);
    void setFileName(int picture, const QString &name);
    void setAlternativeText(int picture, const QString &text);

signals:
    // The kind rule ran; the window opens or closes the next page with it.
    void kindRuleRan(PageKind kind);
    // A picture button was pressed (kStandard or kWide).
    void pictureRequested(int picture);

private:
    void applyKindRule();
    void makeTextBox();

    int m_pageNumber;
    QButtonGroup *m_kind = nullptr;
    LimitedTextEdit *m_text = nullptr;
    QFrame *m_textStandIn = nullptr;
    QWidget *m_beforeText = nullptr; // the text box's predecessor in the focus chain
    std::array<QLabel *, 2> m_fileName{};
    std::array<QPushButton *, 2> m_pictureButton{};
    std::array<QLineEdit *, 2> m_alternativeText{};
};

} // namespace zelmora
