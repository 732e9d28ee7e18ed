// Geometry and text helpers shared by Metrovanta and Skalomer.
#include "dialogs/qthelpers.h"

#include <QLocale>

namespace ui
{

QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

char decimalSeparator()
{
    return QLocale::system().decimalPoint() == QStringLiteral(",") ? ',' : '.';
}

} // namespace ui
