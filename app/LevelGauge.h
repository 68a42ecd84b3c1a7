#pragma once

#include <QtGlobal>

/// One bar of the main window's ten-bar level gauge, in twips, with its lit colour as 0xRRGGBB.
struct GaugeBar
{
    int left, top, width, height;
    quint32 litColour;
};
inline constexpr quint32 UnlitBarColour = 0xFFFFFF;
/// Bars 1 to 10 at index 0 to 9.
const GaugeBar &gaugeBar(int index);
