#pragma once

#include <QRect>

class QWidget;

/// Window layouts are given in twips, 1/1440 inch: 15 twips to a pixel at 96 dots per inch.
/// Qt scales pixels for high-DPI screens itself.
constexpr int twipsToPixels(int twips)
{
    return (twips >= 0 ? twips + 7 : twips - 7) / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

/// Places widget within its parent at the given twips.
void placeTwips(QWidget *widget, int left, int top, int width, int height);
