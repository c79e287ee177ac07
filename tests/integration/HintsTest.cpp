// Hints from the "Hints" section: by name, by tag, line breaks, clearing, the walk and its failures.
#include "dialogs/Hintsfromini.h"
#include "platform/IniFile.h"
#include "tests/integration/TempFolder.h"

#include <QWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// A small definitions file in a temporary folder.
struct DefinitionsFile {
    TempFolder folder;
    fs::path path = folder.path / "Tonvera.def";
    explicit DefinitionsFile(const std::string& text) { std::ofstream(path) << text; }
};

QWidget* child(QWidget* parent, const char* name, int tag = 0)
{
    auto* widget = new QWidget(parent);
    widget->setObjectName(name);
    if (tag != 0)
        widget->setProperty("Tag", tag);
    widget->setToolTip("stale hint from an earlier load");
    return widget;
}

const char* const HintsFixture =
    "[Settings]\n"
    "SettingsButton=not a hint: wrong section\n"
    "[Hints]\n"
    "SettingsButton=Open the settings\n"
    "helpbutton=Open help|Key: F1\n"
    "CenterPanel=Chord types\n"
    "Tag2=A major chord type\n"
    "Tag7=The fretboard\n"
    "Empty=\n";

} // namespace

TEST(LoadHintsFromIni, FindsHintsByNameThenByTag)
{
    DefinitionsFile file(HintsFixture);
    QWidget root;
    root.setObjectName("GlobalPanel");
    QWidget* settings = child(&root, "SettingsButton", 2);
    QWidget* help = child(&root, "HelpButton");
    QWidget* center = child(&root, "CenterPanel");
    QWidget* maj = child(center, "T_maj", 2);
    QWidget* maj6 = child(center, "T_maj6", 2);
    QWidget* frets = child(&root, "BottomImage", 7);
    QWidget* noTagHint = child(&root, "T_m", 3);
    QWidget* plain = child(&root, "LeftImage");
    QWidget* empty = child(&root, "Empty", 7);

    LoadHintsFromIni(&root, IniFile(file.path.string()));

    EXPECT_EQ(settings->toolTip(), "Open the settings") << "the name wins over the tag";
    EXPECT_EQ(help->toolTip(), "Open help\nKey: F1") << "keys match without regard to case; | breaks lines";
    EXPECT_EQ(center->toolTip(), "Chord types");
    EXPECT_EQ(maj->toolTip(), "A major chord type") << "found below a panel";
    EXPECT_EQ(maj6->toolTip(), "A major chord type") << "one text for a whole group";
    EXPECT_EQ(frets->toolTip(), "The fretboard");
    EXPECT_EQ(empty->toolTip(), "The fretboard") << "an empty value counts as no hint of its own";
    EXPECT_EQ(noTagHint->toolTip(), "") << "a tag without a key clears the old hint";
    EXPECT_EQ(plain->toolTip(), "") << "neither name nor tag: no hint";
    EXPECT_EQ(root.toolTip(), "");
}

TEST(LoadHintsFromIni, AMissingFileClearsEveryHint)
{
    QWidget root;
    QWidget* button = child(&root, "SettingsButton", 2);
    LoadHintsFromIni(&root, IniFile("/nonexistent/folder/Tonvera.def"));
    EXPECT_EQ(button->toolTip(), "");
}

TEST(HintText, EveryBarBecomesALineBreak)
{
    EXPECT_EQ(HintText("one|two"), "one\ntwo");
    EXPECT_EQ(HintText("|a||b|"), "\na\n\nb\n");
    EXPECT_EQ(HintText("no bars"), "no bars");
}

TEST(LoadHints, WalksDepthFirstInChildOrder)
{
    QWidget root;
    root.setObjectName("root");
    QWidget* a = child(&root, "a");
    child(a, "a1");
    child(child(a, "a2"), "a2x");
    child(&root, "b");
    child(&root, "", 9);   // unnamed: looked up by its tag only

    std::vector<std::string> keys;
    LoadHints(&root, [&keys](const std::string& key) {
        keys.push_back(key);
        return std::string();
    });
    const std::vector<std::string> expected{"root", "a", "a1", "a2", "a2x", "b", "Tag9"};
    EXPECT_EQ(keys, expected);
}

TEST(LoadHints, AFailingControlSkipsOnlyItsOwnSubtree)
{
    QWidget root;
    root.setObjectName("root");
    QWidget* before = child(&root, "before");
    QWidget* broken = child(&root, "broken");
    QWidget* inside = child(broken, "inside");
    QWidget* after = child(&root, "after");
    QWidget* afterChild = child(after, "afterChild");

    LoadHints(&root, [](const std::string& key) -> std::string {
        if (key == "broken")
            throw std::runtime_error("unreadable");
        return "hint of " + key;
    });
    EXPECT_EQ(before->toolTip(), "hint of before");
    EXPECT_EQ(broken->toolTip(), "stale hint from an earlier load") << "its remaining steps are skipped";
    EXPECT_EQ(inside->toolTip(), "stale hint from an earlier load") << "and so are its children";
    EXPECT_EQ(after->toolTip(), "hint of after");
    EXPECT_EQ(afterChild->toolTip(), "hint of afterChild");
    EXPECT_EQ(root.toolTip(), "hint of root");
}

TEST(ShippedHints, EveryMainWindowControlHasOneWithItsShortcut)
{
    const IniFile definitions((fs::path(TONVERA_SOURCE_DIR) / "data" / "Tonvera.def").string());
    struct Case { const char* key; const char* shortcut; };
    const Case cases[] = {
        {"TonveraPanel", ""}, {"NXLogo", ""},
        {"ChordButton", "Alt+P"}, {"ArpeggioButton", "Alt+P"},
        {"NoteNamesButton", "Alt+D"}, {"ScaleDegreesButton", "Alt+D"},
        {"SpeakerButton", "F2"}, {"SettingsButton", "Alt+S"}, {"HelpButton", "F1"},
        {"FolkButton", "Alt+T"}, {"PopButton", "Alt+T"}, {"JazzButton", "Alt+T"},
        {"CategoryFilter", "Alt+F"}, {"ReverseFinder", ""},
        {"LeftImage", "Alt+R"}, {"CenterImage", "Alt+C"}, {"CenterPanel", "Alt+C"},
        {"majList", "Ctrl+Enter"}, {"minList", "Ctrl+Enter"}, {"domList", "Ctrl+Enter"},
        {"Tag2", "Enter"}, {"Tag3", "Enter"}, {"Tag4", "Enter"},
        {"PlayChordButton", "Space"}, {"RootLabel", "Space"}, {"ChordLabel", "Space"},
        {"ThisChordContainsButton", "`"}, {"ChordInfoImage", ""},
        {"List", "Alt+1"}, {"Tag6", ""}, {"Tag7", ""},
    };
    for (const Case& c : cases) {
        const std::string hint = definitions.ReadString("Hints", c.key, "");
        EXPECT_FALSE(hint.empty()) << c.key;
        EXPECT_NE(hint.find(c.shortcut), std::string::npos) << c.key << " should name " << c.shortcut;
    }
    // A name key would hide the tag's text from the instrument view and the chord-type buttons.
    for (const char* hidden : {"BottomImage", "T_maj", "T_m", "T_7"})
        EXPECT_EQ(definitions.ReadString("Hints", hidden, ""), "") << hidden;
}
