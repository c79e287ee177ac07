// Lays out a popup menu's items in columns: the 20th, 40th, ... item starts a new column
// behind a separating bar, so a long chord list stays on the screen. The items stay the
// menu's actions (triggering one works as usual); only their display moves into a grid
// whose entries look and work like menu items: the mouse highlights and chooses them, the
// arrow keys move between them (Left and Right between columns), Enter or Space chooses and
// Escape closes the menu. Called on the GUI thread.
#pragma once

#include <QList>
#include <QWidget>

class QAction;
class QMenu;
class QStyleOptionMenuItem;

// Does nothing for menus with fewer than 20 items.
void ArrangeInColumns(QMenu* menu);

// The grid of the menu's entries. It has the keyboard focus while its menu is open.
class MenuColumns : public QWidget {
    Q_OBJECT
public:
    MenuColumns(QMenu* menu, QList<QAction*> items);

    int ColumnCount() const { return static_cast<int>(columnStarts_.size()); }
    // The entries of column c, top to bottom.
    QList<QAction*> Column(int c) const;
    // The highlighted entry, null for none. It starts on the menu's default entry.
    QAction* Current() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int columnOf(int item) const;
    int columnEnd(int c) const;
    int itemAt(const QPoint& point) const;
    QStyleOptionMenuItem optionFor(int item) const;
    void layOut();
    void setCurrent(int item);
    void choose(int item);
    int stepped(int key) const;

    QMenu* menu_;
    QList<QAction*> items_;
    std::vector<int> columnStarts_;
    std::vector<QRect> rects_;
    std::vector<int> barX_;
    QSize size_;
    int current_ = -1;
};

// The grid of a menu arranged in columns, or null.
MenuColumns* MenuColumnsWidget(QMenu* menu);
