#include "app/LevelGauge.h"

namespace {

const GaugeBar Bars[10] = {
    { 5925, 815, 240, 105, 0x00FFFF },
    { 6120, 765, 240, 150, 0x00FFFF },
    { 6345, 720, 240, 195, 0x00FF00 },
    { 6570, 675, 240, 240, 0x00FF00 },
    { 6795, 630, 240, 285, 0xFFFF00 },
    { 7020, 585, 240, 330, 0xFFFF00 },
    { 7245, 540, 240, 375, 0xFF00FF },
    { 7470, 495, 240, 420, 0xFF00FF },
    { 7695, 450, 240, 465, 0xFF0000 },
    { 7920, 405, 240, 510, 0xFF0000 },
};

} // namespace

const GaugeBar &gaugeBar(int index)
{
    return Bars[index];
}
