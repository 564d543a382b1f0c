#pragma once

#include "core/model/page_set.h"

#include <QTabWidget>

#include <array>
#include <optional>

namespace zelmora {

class PageInputs;

// SSTab1: six tabs in one row, "Page１" to "Page６", tab k holding the
// container of page k.
//
// The six tabs exist from the start. Page 1's inputs are built with the
// control; those of pages 2 to 6, hidden behind their tabs, right after the
// control's first paint, or sooner when something reaches them (page(k) or
// choosing the tab), with every page before them.
//
// The control also holds the chain between the pages: page k is open exactly
// while page k - 1 is not "なし".
class PageTabs : public QTabWidget {
    Q_OBJECT
public:
    explicit PageTabs(QWidget *parent = nullptr);

    // Page k, counted from 1; built first if it was not yet.
    PageInputs *page(int k);

    // The page and picture whose 参照 button widget is, when it is open for
    // a pick (the window routes dropped pictures by it).
    struct PictureInput {
        int page;
        int picture; // PageInputs::kStandard or kWide
    };
    std::optional<PictureInput> openPictureButton(const QWidget *widget) const;

signals:
    // A picture button of page k was pressed (PageInputs::kStandard or kWide).
    void pictureRequested(int k, int picture);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Builds the inputs of pages 1 to k that are not built yet, in page order.
    void buildPages(int k);
    void chainPage(PageInputs *page);
    void placeContainers();
    void placeContainer(PageInputs *page);
    void keepFocusOrder(PageInputs *inputs);

    std::array<PageInputs *, kPageCount> m_pages{};
    bool m_painted = false;
};

} // namespace zelmora
