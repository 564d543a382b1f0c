#include "ui/page_inputs/page_tabs.h"

#include "ui/kit/form_layout.h"
#include "ui/page_inputs/page_inputs.h"

#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>

namespace zelmora {

namespace {

// Where each page's container sits, counted from the tab control's corner.
QPoint containerOrigin()
{
    return twipsPoint(240, 480);
}

// Tabs share the whole row evenly, as the tab control of this window always
// drew them.
class EvenTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        // Exactly, also where a style pads its tabs more than the row allows
        // (Adwaita): the row grows with the font, and the captions fit it.
        QSize size = QTabBar::tabSizeHint(index);
        if (const QWidget *tabs = parentWidget(); tabs && count() > 0)
            size.setWidth((tabs->width() - 2) / count());
        return size;
    }
};

} // namespace

PageTabs::PageTabs(QWidget *parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("SSTab1"));
    setGeometry(twipsRect(120, 2040, 5415, 5775));
    setTabBar(new EvenTabBar(this));
    tabBar()->setUsesScrollButtons(false);
    for (int k = 1; k <= kPageCount; ++k) {
        auto *tab = new QWidget;
        tab->setObjectName(QStringLiteral("Page%1").arg(k));
        // "Page１" .. "Page６", with full-width digits.
        addTab(tab, QStringLiteral("Page") + QChar(0xFF10 + k));
    }
    // The stack shows the chosen tab before it tells of the change, so a
    // page built here appears in the same paint.
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0)
            buildPages(index + 1);
    });
    buildPages(1);
}

PageInputs *PageTabs::page(int k)
{
    buildPages(k);
    return m_pages.at(k - 1);
}

std::optional<PageTabs::PictureInput> PageTabs::openPictureButton(const QWidget *widget) const
{
    for (const PageInputs *page : m_pages) {
        if (!page)
            continue;
        if (const std::optional<int> picture = page->openPictureButton(widget))
            return PictureInput{page->pageNumber(), *picture};
    }
    return std::nullopt;
}

void PageTabs::buildPages(int k)
{
    for (int n = 1; n <= k; ++n) {
        if (m_pages[n - 1])
            continue;
        // The inputs are built inside their tab, which is already in the
        // control, so that every caption is laid out once, in the form's
        // face. Built in a parentless widget they would first be laid out in
        // the application's default face (which has no kana, so every
        // string sends fontconfig looking for a fallback) and again once the
        // tab was added.
        QWidget *tab = widget(n - 1);
        auto *inputs = new PageInputs(n, tab);
        m_pages[n - 1] = inputs;
        placeContainer(inputs);
        keepFocusOrder(inputs);
        chainPage(inputs);
        // A child made after its parent was shown stays hidden until shown.
        if (tab->isVisible())
            inputs->show();
    }
}

void PageTabs::chainPage(PageInputs *page)
{
    const int k = page->pageNumber();
    // Pages are built in order, so page k - 1 is there to ask; a page built
    // later takes the state its rule would have given it.
    if (k > 1)
        page->setEnabled(m_pages[k - 2]->kind() != PageKind::None);
    if (k < kPageCount) {
        connect(page, &PageInputs::kindRuleRan, this, [this, k](PageKind kind) {
            if (PageInputs *next = m_pages[k])
                next->setEnabled(kind != PageKind::None);
        });
    }
    connect(page, &PageInputs::pictureRequested, this,
            [this, k](int picture) { emit pictureRequested(k, picture); });
}

namespace {

// The widgets inside container that take focus, in the order of the window's
// focus chain. The whole chain is walked: a page moved into place earlier
// left its container, which takes no focus, where it was made.
QList<QWidget *> focusTakers(QWidget *container)
{
    QList<QWidget *> widgets;
    QWidget *window = container->window();
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if (w->focusPolicy() != Qt::NoFocus && container->isAncestorOf(w))
            widgets << w;
    }
    return widgets;
}

} // namespace

void PageTabs::keepFocusOrder(PageInputs *inputs)
{
    // A page built after the widgets that follow the tab control (the
    // window's commands) would come after them in the focus chain; Tab goes
    // through a page's inputs right after those of the page before it.
    const int k = inputs->pageNumber();
    if (k == 1)
        return;
    const QList<QWidget *> before = focusTakers(m_pages[k - 2]);
    if (before.isEmpty())
        return;
    QWidget *previous = before.last();
    for (QWidget *w : focusTakers(inputs)) {
        QWidget::setTabOrder(previous, w);
        previous = w;
    }
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

void PageTabs::paintEvent(QPaintEvent *event)
{
    QTabWidget::paintEvent(event);
    if (!m_painted) {
        m_painted = true;
        // Queued: the window's first paint reaches the screen before the
        // hidden pages are built.
        QTimer::singleShot(0, this, [this] { buildPages(kPageCount); });
    }
}

void PageTabs::placeContainers()
{
    for (PageInputs *page : m_pages) {
        if (page)
            placeContainer(page);
    }
}

void PageTabs::placeContainer(PageInputs *page)
{
    // The pages begin below the tab bar, so the bar's height comes out of the
    // space above each container. Until the control is first shown the pages
    // have no place yet; the bar's own height stands in for it.
    QPoint pageOrigin(0, tabBar()->sizeHint().height());
    if (const QWidget *stack = widget(0)->parentWidget(); stack && isVisible())
        pageOrigin = stack->mapTo(this, QPoint(0, 0));
    page->move(containerOrigin() - pageOrigin);
}

} // namespace zelmora
