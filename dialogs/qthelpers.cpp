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

bool alphabeticalOrder(const std::string& a, const std::string& b)
{
    return QString::localeAwareCompare(qs(a).toCaseFolded(), qs(b).toCaseFolded()) < 0;
}

} // namespace ui
