// The small Qt helpers both programs share: twips to pixels, UTF-8 text across the Qt
// boundary, and the user's decimal separator.
#pragma once

#include <QRect>
#include <QString>

class QCoreApplication;

#include <string>
#include <string_view>

namespace ui
{

// 15 twips are one logical pixel, to the nearest; Qt scales logical pixels on dense screens.
constexpr int twips(int t)
{
    return (t + 7) / 15;
}
QRect twipsRect(int left, int top, int width, int height);

// The core keeps text as UTF-8.
inline QString qs(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string utf8(const QString& text)
{
    return text.toStdString();
}

// Qt's own texts (the file dialog and its questions, the menus of text boxes and scroll bars)
// in Russian, as the program speaks whatever the system's language. Without the translation
// (qt6-translations-l10n) they stay in English; the result says whether it was found.
bool installQtTranslation(QCoreApplication& app);

// The user's decimal separator, for numbers the program shows.
char decimalSeparator();

// True when UTF-8 name `a` goes before `b` in a sorted list: letter case ignored, in the
// system's collation.
bool alphabeticalOrder(const std::string& a, const std::string& b);

} // namespace ui
