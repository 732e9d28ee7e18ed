// Geometry and look shared by every window: twips to pixels, the program's
// font and the colour pairs of its fields.
#pragma once

#include "dialogs/qthelpers.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

namespace ui
{

// Verdana 8.25 pt where installed, the system's sans-serif otherwise.
QFont programFont();

inline const QColor kFieldBack{0xE0, 0xE0, 0xE0};
inline const QColor kFieldText{0x80, 0x00, 0x80};
inline const QColor kOutputBack{0x40, 0x40, 0x40};
inline const QColor kOutputText{0xFF, 0xC0, 0xFF};

void setColours(QWidget* widget, const QColor& back, const QColor& text);

// A two-tone etched line from x1 to x2 at y (twips): dark grey over light.
void addEtchedLine(QWidget* parent, const QString& name, int x1, int x2, int y);

// The program's title for message boxes without one of their own.
QString programTitle();

// Enter on a focused push button of `window` presses it, as Space does. Call once its
// buttons exist.
void pressOnEnter(QWidget* window);

// Shows `dialog` as a window of `owner`: transient for it (a window manager keeps it above
// the owner) and centred on it; then raises and activates it.
void showOver(QWidget* dialog, QWidget* owner);

} // namespace ui
