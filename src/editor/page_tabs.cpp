#include "editor/page_tabs.h"

#include "editor/form_layout.h"
#include "editor/page_inputs.h"

#include <QStackedWidget>
#include <QTabBar>

namespace zelmora {

namespace {

// Where each page's container sits, counted from the tab control's corner.
constexpr QPoint containerOrigin() { return QPoint(twips(240), twips(480)); }

// Tabs share the whole row evenly, as the tab control of this window always
// drew them.
class EvenTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        if (const QWidget *tabs = parentWidget(); tabs && count() > 0)
            size.setWidth(std::max(size.width(), (tabs->width() - 2) / count()));
        return size;
    }
};

} // namespace

PageTabs::PageTabs(QWidget *parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("SSTab1"));
    setGeometry(twipsRect(120, 2040, 5415, 5775));
    setTabBar(new EvenTabBar(this));
    for (int k = 1; k <= kPageCount; ++k) {
        auto *tab = new QWidget;
        tab->setObjectName(QStringLiteral("Page%1").arg(k));
        m_pages[k - 1] = new PageInputs(k, tab);
        // "Page１" .. "Page６", with full-width digits.
        addTab(tab, QStringLiteral("Page") + QChar(0xFF10 + k));
    }
    placeContainers();
}

void PageTabs::showEvent(QShowEvent *event)
{
    QTabWidget::showEvent(event); // lays out the tab bar and the pages
    placeContainers();
}

void PageTabs::resizeEvent(QResizeEvent *event)
{
    QTabWidget::resizeEvent(event);
    placeContainers();
}

void PageTabs::placeContainers()
{
    // The pages begin below the tab bar, so the bar's height comes out of the
    // space above each container. Until the control is first shown the pages
    // have no place yet; the bar's own height stands in for it.
    QPoint pageOrigin(0, tabBar()->sizeHint().height());
    if (const QWidget *stack = widget(0)->parentWidget(); stack && isVisible())
        pageOrigin = stack->mapTo(this, QPoint(0, 0));
    for (PageInputs *page : m_pages)
        page->move(containerOrigin() - pageOrigin);
}

} // namespace zelmora
