#include "layout/Layout.h"

namespace layout {
namespace {

constexpr bool overlap(const Rect& a, const Rect& b)
{
    return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

constexpr bool inside(const Rect& inner, const Rect& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() &&
           inner.Bottom() <= outer.Bottom();
}

// A new chord-type button must find a free place inside the focus frame.
constexpr bool chordTypeButtonsFit()
{
    for (std::size_t i = 0; i < ChordTypeButtons.size(); ++i) {
        const ChordTypeButton& button = ChordTypeButtons[i];
        if (button.column < 0 || button.column >= int(ChordTypeColumnLeft.size()) || button.row < 0 ||
            button.group < FirstChordTypeGroup ||
            button.group >= FirstChordTypeGroup + int(ChordTypeGroupTop.size()))
            return false;
        if (!inside(Place(button), CenterSpot))
            return false;
        for (std::size_t j = 0; j < i; ++j)
            if (overlap(Place(button), Place(ChordTypeButtons[j])))
                return false;
    }
    return true;
}
static_assert(chordTypeButtonsFit(), "every chord-type button lies in the focus frame, apart from the others");

// A wider keyboard needs a position for each new key.
template <std::size_t N>
constexpr bool leftToRight(const std::array<int, N>& xs)
{
    for (std::size_t i = 1; i < N; ++i)
        if (xs[i] <= xs[i - 1])
            return false;
    return true;
}
static_assert(leftToRight(KeyX), "one marker x per key, left to right");
static_assert(leftToRight(FretX), "one marker x per fret, nut first");
static_assert(FirstKey % 12 == 0, "the keyboard starts on a C");

void addLooks(std::vector<PictureFile>& files, std::string_view stem, int w, int h, bool pressed)
{
    const std::string base(stem);
    files.push_back({base + "Initial.png", w, h});
    files.push_back({base + "Mouse.png", w, h});
    if (pressed)
        files.push_back({base + "Pressed.png", w, h});
}

} // namespace

std::vector<PictureFile> MainWindowPictures()
{
    std::vector<PictureFile> files;
    for (const Picture& picture : {TopAreaPicture, ChordTypeAreaPicture, PianoChordTypeAreaPicture, RootAreaPicture,
                                   RootSpotPicture, KeyboardPicture, FretboardPicture, PlayAreaPicture,
                                   PlayChordPicture})
        files.push_back({std::string(picture.file), picture.w, picture.h});
    const auto addSkinButtons = [&](const auto& buttons) {
        for (const SkinButton& button : buttons)
            addLooks(files, button.stem, button.place.w, button.place.h, HasPressedPicture(button));
    };
    addSkinButtons(TopBarButtons);
    addSkinButtons(OtherSkinButtons);
    for (const ChordTypeButton& button : ChordTypeButtons)
        addLooks(files, button.name, Place(button).w, Place(button).h, true);
    return files;
}

} // namespace layout
