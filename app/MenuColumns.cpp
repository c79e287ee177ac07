#include "app/MenuColumns.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QWidgetAction>

#include <algorithm>

namespace {

constexpr int kColumnBreak = 20;
// Room for the bar between two columns.
constexpr int kBarGap = 9;

} // namespace

void ArrangeInColumns(QMenu* menu)
{
    const QList<QAction*> items = menu->actions();
    if (items.size() < kColumnBreak)
        return;
    auto* grid = new MenuColumns(menu, items);
    for (QAction* item : items)
        item->setVisible(false);
    auto* holder = new QWidgetAction(menu);
    holder->setDefaultWidget(grid);
    menu->addAction(holder);
    // Keys reach the popup's focus widget: the grid takes them while the menu is open.
    grid->setFocus();
}

MenuColumns* MenuColumnsWidget(QMenu* menu)
{
    return menu->findChild<MenuColumns*>();
}

MenuColumns::MenuColumns(QMenu* menu, QList<QAction*> items)
    : QWidget(menu), menu_(menu), items_(std::move(items))
{
    setObjectName("MenuColumns");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Item n (counting from 1) starts a column when n is a multiple of 20.
    for (int i = 0; i < items_.size(); ++i)
        if (i == 0 || (i + 1) % kColumnBreak == 0)
            columnStarts_.push_back(i);
    current_ = static_cast<int>(items_.indexOf(menu->defaultAction()));
    layOut();
}

int MenuColumns::columnOf(int item) const
{
    const auto after = std::upper_bound(columnStarts_.begin(), columnStarts_.end(), item);
    return static_cast<int>(after - columnStarts_.begin()) - 1;
}

int MenuColumns::columnEnd(int c) const
{
    return c + 1 < ColumnCount() ? columnStarts_[c + 1] : static_cast<int>(items_.size());
}

QList<QAction*> MenuColumns::Column(int c) const
{
    if (c < 0 || c >= ColumnCount())
        return {};
    return items_.mid(columnStarts_[c], columnEnd(c) - columnStarts_[c]);
}

QAction* MenuColumns::Current() const
{
    return current_ >= 0 ? items_[current_] : nullptr;
}

// An entry as the menu itself would draw it: the style's menu item, bold when it is the
// menu's default entry.
QStyleOptionMenuItem MenuColumns::optionFor(int item) const
{
    QStyleOptionMenuItem option;
    option.initFrom(menu_);
    option.state = QStyle::State_Enabled;
    if (item == current_)
        option.state |= QStyle::State_Selected;
    QAction* action = items_[item];
    option.menuItemType =
        action == menu_->defaultAction() ? QStyleOptionMenuItem::DefaultItem : QStyleOptionMenuItem::Normal;
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    option.text = action->text();
    option.font = action->font().resolve(menu_->font());
    option.fontMetrics = QFontMetrics(option.font);
    option.maxIconWidth = 0;
    option.reservedShortcutWidth = 0;
    option.menuRect = rect();
    if (item < static_cast<int>(rects_.size()))
        option.rect = rects_[item];
    return option;
}

void MenuColumns::layOut()
{
    rects_.assign(items_.size(), QRect());
    barX_.clear();
    int left = 0;
    int height = 0;
    for (int c = 0; c < ColumnCount(); ++c) {
        if (c > 0) {
            barX_.push_back(left + kBarGap / 2);
            left += kBarGap;
        }
        std::vector<QSize> sizes;
        int width = 0;
        for (int i = columnStarts_[c]; i < columnEnd(c); ++i) {
            // As the menu measures its items: the style adds what a bold default entry needs.
            const QStyleOptionMenuItem option = optionFor(i);
            const QSize text(option.fontMetrics.horizontalAdvance(option.text), option.fontMetrics.height());
            sizes.push_back(style()->sizeFromContents(QStyle::CT_MenuItem, &option, text, menu_));
            width = std::max(width, sizes.back().width());
        }
        int top = 0;
        for (int i = columnStarts_[c]; i < columnEnd(c); ++i) {
            const int itemHeight = sizes[i - columnStarts_[c]].height();
            rects_[i] = QRect(left, top, width, itemHeight);
            top += itemHeight;
        }
        height = std::max(height, top);
        left += width;
    }
    size_ = QSize(left, height);
    setMinimumSize(size_);
}

QSize MenuColumns::sizeHint() const
{
    return size_;
}

int MenuColumns::itemAt(const QPoint& point) const
{
    for (int i = 0; i < static_cast<int>(rects_.size()); ++i)
        if (rects_[i].contains(point))
            return i;
    return -1;
}

void MenuColumns::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const QStyleOptionMenuItem option = optionFor(i);
        style()->drawControl(QStyle::CE_MenuItem, &option, &painter, menu_);
    }
    painter.setPen(palette().color(QPalette::Midlight));
    for (int x : barX_)
        painter.drawLine(x, 2, x, size_.height() - 3);
}

void MenuColumns::setCurrent(int item)
{
    if (item == current_)
        return;
    current_ = item;
    update();
}

void MenuColumns::choose(int item)
{
    if (item < 0)
        return;
    QAction* action = items_[item];
    menu_->close();
    action->trigger();
}

void MenuColumns::mouseMoveEvent(QMouseEvent* event)
{
    setCurrent(itemAt(event->position().toPoint()));
}

void MenuColumns::leaveEvent(QEvent*)
{
    setCurrent(-1);
}

void MenuColumns::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        choose(itemAt(event->position().toPoint()));
}

// The entry a movement key leads to from the current one. Up and Down run through the
// entries in order and wrap around; Left and Right keep the row in the next column, or
// take its last entry when that column is shorter.
int MenuColumns::stepped(int key) const
{
    const int count = static_cast<int>(items_.size());
    const int last = count - 1;
    if (current_ < 0)
        return key == Qt::Key_Up || key == Qt::Key_Left || key == Qt::Key_End ? last : 0;
    switch (key) {
    case Qt::Key_Down:
        return (current_ + 1) % count;
    case Qt::Key_Up:
        return (current_ + count - 1) % count;
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return last;
    default:
        break;
    }
    const int column = columnOf(current_);
    const int target = column + (key == Qt::Key_Right ? 1 : -1);
    if (target < 0 || target >= ColumnCount())
        return current_;
    const int row = current_ - columnStarts_[column];
    return std::min(columnStarts_[target] + row, columnEnd(target) - 1);
}

void MenuColumns::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        setCurrent(stepped(event->key()));
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        choose(current_);
        return;
    case Qt::Key_Escape:
        menu_->close();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
