// Lays out a popup menu's items in columns: the 20th, 40th, ... item starts a new column
// behind a separating bar, so a long chord list stays on the screen. The items stay the
// menu's actions (triggering one works as usual); only their display moves into a grid.
// Called on the GUI thread.
#pragma once

class QMenu;
class QWidget;

// Does nothing for menus with fewer than 20 items.
void ArrangeInColumns(QMenu* menu);

// The grid of a menu arranged in columns, or null; its child columns are named "column0" ...
QWidget* MenuColumnsWidget(QMenu* menu);
