// Window geometry is designed in twips; Qt places widgets in logical pixels.
#pragma once

#include <QRect>

namespace scales
{

// 15 twips are one logical pixel (1440 twips per inch at 96 logical dots per inch).
constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

} // namespace scales
