// The small Qt helpers both programs share: twips to pixels, UTF-8 text across the Qt
// boundary, and the user's decimal separator.
#pragma once

#include <QRect>
#include <QString>

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

// The user's decimal separator, for numbers the program shows.
char decimalSeparator();

// True when UTF-8 name `a` goes before `b` in a sorted list: letter case ignored, in the
// system's collation.
bool alphabeticalOrder(const std::string& a, const std::string& b);

} // namespace ui
