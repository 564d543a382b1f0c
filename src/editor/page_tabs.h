#pragma once

#include "editor/page_set.h"

#include <QTabWidget>

#include <array>

namespace zelmora {

class PageInputs;

// SSTab1: six tabs in one row, "Page１" to "Page６", tab k holding the
// container of page k.
//
// The six tabs exist from the start; the inputs of a page may be built later
// (buildPages), as they are hidden until their tab is chosen. Whatever
// reaches a page, page(k), choosing its tab or the first paint of the
// control, builds it, with every page before it.
class PageTabs : public QTabWidget {
    Q_OBJECT
public:
    explicit PageTabs(QWidget *parent = nullptr);

    // Page k, counted from 1; built first if it was not yet, its text box
    // made if it was a stand-in.
    PageInputs *page(int k);
    bool isBuilt(int k) const { return m_pages.at(k - 1) != nullptr; }
    // Builds the inputs of pages 1 to k that are not built yet, in page order.
    void buildPages(int k);
    // Builds the pages not built yet right after the control's first paint;
    // page 1, if built after this call, paints a stand-in for its text box
    // until then (PageInputs::TextBox::AfterFirstPaint).
    void buildRestAfterFirstPaint() { m_buildAfterPaint = true; }

signals:
    // The inputs of page->pageNumber() were just built in their tab.
    void pageBuilt(PageInputs *page);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void placeContainers();
    void placeContainer(PageInputs *page);
    void keepFocusOrder(PageInputs *inputs);

    std::array<PageInputs *, kPageCount> m_pages{};
    bool m_buildAfterPaint = false;
};

} // namespace zelmora
