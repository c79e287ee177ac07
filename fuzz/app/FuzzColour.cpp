// Feeds arbitrary text to the colour reader of the definitions file: it never faults, each
// field counts on its own (the colour of "r,g,b" has the red of "r" alone, and so on), and
// the value stays within 24 bits.
#include "app/Geometry.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ColourValue colour = ParseColour(text);
    if (colour > 0xFFFFFF)
        __builtin_trap();
    const std::size_t first = text.find(',');
    if (first != std::string::npos) {
        const std::size_t second = text.find(',', first + 1);
        const std::string green = text.substr(first + 1, second == std::string::npos ? std::string::npos
                                                                                     : second - first - 1);
        if (RedOf(ParseColour(text.substr(0, first))) != RedOf(colour) ||
            RedOf(ParseColour(green)) != GreenOf(colour) ||
            (second != std::string::npos && text.find(',', second + 1) == std::string::npos &&
             RedOf(ParseColour(text.substr(second + 1))) != BlueOf(colour)))
            __builtin_trap();
    }
    return 0;
}
