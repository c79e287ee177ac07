#include "app/MenuColumns.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace {

constexpr int kColumnBreak = 20;

QToolButton* itemButton(QMenu* menu, QAction* action, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(action->text());
    button->setAutoRaise(true);
    button->setCheckable(false);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QFont font = button->font();
    font.setBold(menu->defaultAction() == action);
    button->setFont(font);
    QObject::connect(button, &QToolButton::clicked, menu, [menu, action] {
        menu->close();
        action->trigger();
    });
    return button;
}

} // namespace

void ArrangeInColumns(QMenu* menu)
{
    const QList<QAction*> items = menu->actions();
    if (items.size() < kColumnBreak)
        return;
    auto* grid = new QWidget(menu);
    grid->setObjectName("MenuColumns");
    auto* row = new QHBoxLayout(grid);
    row->setContentsMargins(2, 2, 2, 2);
    QVBoxLayout* column = nullptr;
    int columnIndex = 0;
    for (int i = 0; i < items.size(); ++i) {
        // Item n (counting from 1) starts a column when n is a multiple of 20.
        if (!column || (i + 1) % kColumnBreak == 0) {
            if (column) {
                auto* bar = new QFrame(grid);
                bar->setFrameShape(QFrame::VLine);
                row->addWidget(bar);
            }
            auto* columnWidget = new QWidget(grid);
            columnWidget->setObjectName(QString("column%1").arg(columnIndex++));
            column = new QVBoxLayout(columnWidget);
            column->setContentsMargins(0, 0, 0, 0);
            column->setSpacing(0);
            column->setAlignment(Qt::AlignTop);
            row->addWidget(columnWidget, 0, Qt::AlignTop);
        }
        column->addWidget(itemButton(menu, items[i], column->parentWidget()));
        items[i]->setVisible(false);
    }
    auto* holder = new QWidgetAction(menu);
    holder->setDefaultWidget(grid);
    menu->addAction(holder);
}

QWidget* MenuColumnsWidget(QMenu* menu)
{
    return menu->findChild<QWidget*>("MenuColumns");
}
