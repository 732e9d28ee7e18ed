// Reaching the programs without a mouse or without sight: scroll bars that step by key as on
// the desktop, and windows that assistive technology sees as windows.
#pragma once

#include <QAccessible>

class QAbstractSlider;
class QComboBox;
class QString;
class QWidget;

namespace ui
{

// The slider takes the focus and steps as a desktop scroll bar does: Left and Up go down the
// range, Right and Down up it, PgUp and PgDn by a page, Home and End to its ends.
void useDesktopKeys(QAbstractSlider* slider);

// Exposes `window` to assistive technology in `role` (Window, Dialog). Call first in its
// constructor: the role is read when the window is first described. A popup exposed this
// way is listed among the children of the window that owns it while it is shown.
void exposeAs(QWidget* window, QAccessible::Role role);

// Names a drop-down list. Qt on Linux reads a list's current entry as its name, and screen
// readers there name it by the label tied to it: a hidden one where the window shows none.
void nameList(QComboBox* list, const QString& name);

} // namespace ui
