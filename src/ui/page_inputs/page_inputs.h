#pragma once

#include "core/model/page_set.h"

#include <QGroupBox>

#include <array>
#include <optional>

class QButtonGroup;
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

    PageInputs(int pageNumber, QWidget *parent = nullptr);

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
    // Takes a picked or dropped picture: its name as the file name and as
    // the alternative text.
    void takePicture(int picture, const QString &name);

    // The picture (kStandard or kWide) whose 参照 button widget is, when that
    // button is open for a pick.
    std::optional<int> openPictureButton(const QWidget *widget) const;

signals:
    // The kind rule ran; the window opens or closes the next page with it.
    void kindRuleRan(PageKind kind);
    // A picture button was pressed (kStandard or kWide).
    void pictureRequested(int picture);

private:
    void applyKindRule();

    int m_pageNumber;
    QButtonGroup *m_kind = nullptr;
    LimitedTextEdit *m_text = nullptr;
    std::array<QLabel *, 2> m_fileName{};
    std::array<QPushButton *, 2> m_pictureButton{};
    std::array<QLineEdit *, 2> m_alternativeText{};
};

} // namespace zelmora
