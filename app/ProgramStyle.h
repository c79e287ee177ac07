// The look of the standard widgets (menus, scroll bars, buttons, dialogs, the help window,
// tool tips, message boxes): one palette in the skin's walnut, cream and amber, set for the
// whole program, and the program's window icon. The skinned controls paint themselves.
// Called on the GUI thread.
#pragma once

#include <QPalette>

// The skin's palette for standard widgets.
QPalette SkinPalette();

// Gives the application the Fusion style with SkinPalette() and the window icon. Run it
// before the first window is made; running it again changes nothing.
void ApplyProgramStyle();
