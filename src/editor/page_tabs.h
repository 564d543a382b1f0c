#pragma once

#include "editor/page_set.h"

#include <QTabWidget>

#include <array>

namespace zelmora {

class PageInputs;

// SSTab1: six tabs in one row, "Page１" to "Page６", tab k holding the
// container of page k.
class PageTabs : public QTabWidget {
    Q_OBJECT
public:
    explicit PageTabs(QWidget *parent = nullptr);

    // Page k, counted from 1.
    PageInputs *page(int k) const { return m_pages.at(k - 1); }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeContainers();

    std::array<PageInputs *, kPageCount> m_pages{};
};

} // namespace zelmora
