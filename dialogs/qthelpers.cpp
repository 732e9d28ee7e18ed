// Geometry and text helpers shared by Metrovanta and Skalomer.
#include "dialogs/qthelpers.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui
{

QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

bool installQtTranslation(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
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
