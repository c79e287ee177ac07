#include "app/Geometry.h"

#include <cctype>
#include <cstdlib>

namespace geometry {

const std::array<int, 48> KeyX = {
    34, 49, 70, 90, 104, 139, 153, 175, 192, 209, 232, 244,
    278, 294, 315, 336, 349, 384, 399, 420, 437, 455, 477, 490,
    524, 540, 559, 581, 595, 630, 644, 665, 683, 699, 723, 735,
    769, 786, 804, 827, 839, 875, 889, 910, 928, 945, 968, 980,
};

namespace {
constexpr int kWhiteY = 150;
constexpr int kBlackY = 90;
constexpr bool kIsBlack[12] = {false, true, false, true, false, false, true, false, true, false, true, false};

std::array<int, 48> keyRowY()
{
    std::array<int, 48> y{};
    for (int k = 0; k < 48; ++k)
        y[k] = kIsBlack[k % 12] ? kBlackY : kWhiteY;
    return y;
}

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

const std::array<int, 48> KeyY = keyRowY();
const std::array<int, 16> FretX = {39, 104, 208, 300, 384, 462, 535, 599, 659, 717, 769, 817, 862, 903, 941, 977};
const std::array<int, 6> StringY = {141, 116, 92, 66, 42, 18};

int HitTestKeyboard(int x, int y)
{
    const int floor = y > 115 ? 115 : 0;
    int best = 9999;
    int result = -1;
    for (int k = 0; k < 48; ++k) {
        if (KeyY[k] <= floor)
            continue;
        const int d = std::abs(x - KeyX[k]);
        if (d < best && d <= 10 && std::abs(y - KeyY[k]) <= 32) {
            best = d;
            result = k + kLowestKey;
        }
    }
    return result;
}

int HitTestFretboard(int x, int y)
{
    const int string = nearestWithin16(StringY, y);
    if (string < 0)
        return -1;
    const int fret = nearestWithin16(FretX, x);
    if (fret < 0)
        return -1;
    return string * 256 + fret;
}

std::optional<Point> KeyCentre(int midiNote)
{
    const int k = midiNote - kLowestKey;
    if (k < 0 || k >= 48)
        return std::nullopt;
    return Point{KeyX[k], KeyY[k]};
}

std::optional<Point> FretCentre(int string, int fret)
{
    if (string < 0 || string >= 6 || fret < 0 || fret >= 16)
        return std::nullopt;
    return Point{FretX[fret], StringY[string]};
}

Point GlobalPanelOrigin(int clientWidth, int clientHeight)
{
    return {clientWidth / 2 - kPanelWidth / 2, clientHeight / 2 - kPanelHeight / 2};
}

} // namespace geometry

namespace {

// A whole decimal number (blanks around it allowed), else 0.
int decimalOrZero(const std::string& field)
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

// Cuts text up to the first delimiter off the front; the whole text when there is none.
std::string cutField(std::string& text)
{
    const size_t comma = text.find(',');
    std::string field = text.substr(0, comma);
    text = comma == std::string::npos ? std::string() : text.substr(comma + 1);
    return field;
}

} // namespace

ColourValue ParseColour(const std::string& text)
{
    std::string rest = text;
    const int red = decimalOrZero(cutField(rest));
    const int green = decimalOrZero(cutField(rest));
    const int blue = decimalOrZero(rest);
    return MakeColour(red, green, blue);
}

ColourValue TextColourFor(ColourValue fill)
{
    const int brightness = (RedOf(fill) + GreenOf(fill) + BlueOf(fill)) / 3;
    return brightness <= 127 ? MakeColour(255, 255, 255) : MakeColour(0, 0, 0);
}
