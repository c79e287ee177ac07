#include "app/Geometry.h"

#include "base/TextUtil.h"

#include <cctype>
#include <cstdlib>

namespace geometry {

namespace {

// Index of the centre nearest to value within 16 pixels (lowest index on a tie), or -1.
template <size_t N>
int nearestWithin16(const std::array<int, N>& centres, int value)
{
    int best = -1;
    int bestDistance = 257;
    for (size_t i = 0; i < N; ++i) {
        const int d = (centres[i] - value) * (centres[i] - value);
        if (d <= 256 && d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}
} // namespace

int HitTestKeyboard(int x, int y)
{
    const int floor = y > 115 ? 115 : 0;
    int best = 9999;
    int result = -1;
    for (int note = layout::FirstKey; note <= layout::LastKey; ++note) {
        const layout::Point key = *layout::KeyCentre(note);
        if (key.y <= floor)
            continue;
        const int d = std::abs(x - key.x);
        if (d < best && d <= 10 && std::abs(y - key.y) <= 32) {
            best = d;
            result = note;
        }
    }
    return result;
}

int HitTestFretboard(int x, int y)
{
    const int string = nearestWithin16(layout::StringY, y);
    if (string < 0)
        return -1;
    const int fret = nearestWithin16(layout::FretX, x);
    if (fret < 0)
        return -1;
    return string * 256 + fret;
}

layout::Point GlobalPanelOrigin(int clientWidth, int clientHeight)
{
    return {clientWidth / 2 - layout::GlobalPanel.w / 2, clientHeight / 2 - layout::GlobalPanel.h / 2};
}

} // namespace geometry

namespace {

// A whole decimal number (blanks around it allowed), else 0.
int decimalOrZero(std::string_view field)
{
    size_t begin = 0;
    size_t end = field.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(field[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(field[end - 1])))
        --end;
    if (begin == end)
        return 0;
    size_t i = begin;
    if (field[i] == '-' || field[i] == '+')
        ++i;
    if (i == end)
        return 0;
    long long value = 0;
    for (; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(field[i])))
            return 0;
        value = (value * 10 + (field[i] - '0')) & 0xFFFF'FFFF;
    }
    return static_cast<int>(field[begin] == '-' ? -value : value);
}

} // namespace

ColourValue ParseColour(const std::string& text)
{
    std::string_view rest = text;
    std::string red, green;
    NextToken(rest, red, ",");
    NextToken(rest, green, ",");
    return MakeColour(decimalOrZero(red), decimalOrZero(green), decimalOrZero(rest));
}

ColourValue TextColourFor(ColourValue fill)
{
    const int brightness = (RedOf(fill) + GreenOf(fill) + BlueOf(fill)) / 3;
    return brightness <= 127 ? MakeColour(255, 255, 255) : MakeColour(0, 0, 0);
}
