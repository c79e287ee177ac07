// How the program presents itself: standard widgets in the skin's colours, the variation
// list's note column, the empty list's text, names for screen readers, icon and titles.
#include "WindowFixture.h"

#include "app/ProgramStyle.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/Settingsdialog.h"
#include "dialogs/Tsplashscreen.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

// The colour of a widget's pixel at (x, y) as it is drawn.
QColor drawnAt(QWidget* widget, int x, int y)
{
    const QImage shot = widget->grab().toImage();
    return shot.pixelColor(QPointF(x, y).toPoint() * shot.devicePixelRatio());
}

// Lets the views lay out what they were given (Qt does it from the event loop).
void settle(QWidget* widget)
{
    for (int i = 0; i < 20 && !widget->isVisible(); ++i)
        QTest::qWait(10);
    QTest::qWait(10);
}

// The skin's surfaces are dark; the system's light widgets are far above this.
bool dark(const QColor& colour)
{
    return colour.lightness() < 100;
}

QAccessibleInterface* accessible(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

std::string spokenName(QWidget* widget)
{
    return accessible(widget)->text(QAccessible::Name).toStdString();
}

} // namespace

TEST(ProgramLook, MenusScrollBarsButtonsAndHelpWearTheSkinsColours)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    QMenu* menu = form.Controls().SelChordMenu;
    form.CategoryFilterClick();
    QTest::qWaitForWindowExposed(menu);
    EXPECT_TRUE(dark(drawnAt(menu, menu->width() - 4, menu->height() / 2)));
    EXPECT_EQ(menu->palette().color(QPalette::Highlight), SkinPalette().color(QPalette::Highlight));
    menu->close();

    VariationListBox* list = form.Controls().List;
    std::vector<std::string> lines(30, "line\tC (R)");
    list->SetLines(lines);
    QScrollBar* bar = list->verticalScrollBar();
    settle(bar);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_TRUE(dark(drawnAt(bar, bar->width() / 2, bar->height() - bar->width() - 4)));

    QPushButton* ok = fixture.About().HideButton;
    EXPECT_TRUE(dark(drawnAt(ok, ok->width() / 4, ok->height() / 2)));

    HelpWindow help;
    help.show();
    QTest::qWaitForWindowExposed(&help);
    QWidget* page = help.Browser()->viewport();
    EXPECT_TRUE(dark(drawnAt(page, page->width() - 30, page->height() - 10)));
    EXPECT_TRUE(dark(help.Browser()->palette().color(QPalette::Base)));
}

TEST(ProgramLook, WindowIconAndTitles)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_FALSE(QApplication::windowIcon().pixmap(64).isNull());
    EXPECT_EQ(form.windowTitle(), "Tonvera");
    EXPECT_EQ(fixture.Settings().windowTitle(), "Settings");
    EXPECT_EQ(fixture.About().windowTitle(), "About");
}

TEST(VariationList, NotesStartInOneColumnWhateverTheNames)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    VariationListBox* list = form.Controls().List;
    list->SetLines({"Close 1\tC (R) , E (3)", "Two hands 5\tC (R) , G (5)", "No variations found!"});
    const int widest = list->fontMetrics().horizontalAdvance("Two hands 5");
    EXPECT_GT(list->NoteColumn(), widest);
    EXPECT_EQ(list->NoteColumn() % 50, 0);
    // Where each line's notes begin on the screen: the first text pixel after the names.
    list->SelectLine(-1);
    settle(list);
    const QImage shot = list->viewport()->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    const QColor ground = shot.pixelColor(0, 0);
    auto notesStart = [&](int row) {
        const QRect line = list->visualItemRect(list->item(row));
        for (int x = widest + 4; x < line.right(); ++x)
            for (int y = line.top(); y <= line.bottom(); ++y)
                if (shot.pixelColor(QPointF(x, y).toPoint() * ratio) != ground)
                    return x;
        return -1;
    };
    EXPECT_GT(notesStart(0), widest + 4);
    EXPECT_EQ(notesStart(0), notesStart(1));
}

TEST(Accessibility, EveryControlHasANameAndItsHintAsDescription)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    const MainFormControls& c = form.Controls();
    const std::pair<QWidget*, const char*> names[] = {
        {c.ChordButton, "Chord"},
        {c.ArpeggioButton, "Arpeggio"},
        {c.NoteNamesButton, "Note names"},
        {c.SpeakerButton, "Volume control"},
        {c.SettingsButton, "Settings"},
        {c.HelpButton, "Help"},
        {c.TonveraPanel, "About Tonvera"},
        {c.CategoryFilter, "Voicing category, All"},
        {c.ReverseFinder, "Chord finder, Show all chords"},
        {c.ThisChordContainsButton, "This chord contains"},
        {c.LeftPanel, "Root: C"},
        {c.CenterPanel, "Chord types"},
        {c.List, "Variations"},
        {c.BottomImage, "Keyboard"},
        {c.PlayChordButton, "Play chord"},
        {c.ChordInfoImage, "Chord tones: C (R), E (3), G (5)"},
        {button(form, "T_m7b5"), "m7b5"},
        {button(form, "minList"), "More minor chords"},
    };
    for (const auto& [widget, name] : names)
        EXPECT_EQ(spokenName(widget), name);
    // Every skinned control and every control that takes the focus says what it is.
    for (TNXPanel* panel : form.findChildren<TNXPanel*>())
        if (panel->isVisible())
            EXPECT_FALSE(spokenName(panel).empty()) << panel->objectName().toStdString();
    for (QWidget* widget : form.findChildren<QWidget*>())
        if (widget->isVisible() && widget->focusPolicy() != Qt::NoFocus)
            EXPECT_FALSE(spokenName(widget).empty()) << widget->objectName().toStdString();
    // The hint is the description.
    EXPECT_EQ(accessible(c.SettingsButton)->text(QAccessible::Description).toStdString(), "Settings");
    EXPECT_EQ(c.SettingsButton->accessibleDescription(), c.SettingsButton->toolTip());

    // The cursor keys' root is said, and whether it is the selected one.
    c.LeftPanel->setFocus();
    QTest::keyClick(c.LeftPanel, Qt::Key_Up);
    EXPECT_EQ(spokenName(c.LeftPanel), "Root: C# (not selected)");
}

TEST(Accessibility, ChordTypeButtonsAreCheckableButtonsAScreenReaderCanPress)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    TNXPanel* m7 = button(form, "T_m7");
    QAccessibleInterface* face = accessible(m7);
    EXPECT_EQ(face->role(), QAccessible::Button);
    EXPECT_TRUE(face->state().checkable);
    EXPECT_FALSE(face->state().checked);
    EXPECT_TRUE(accessible(button(form, "T_maj"))->state().checked);
    EXPECT_FALSE(accessible(form.Controls().SettingsButton)->state().checkable);

    fixture.ClearMessages();
    ASSERT_NE(face->actionInterface(), nullptr);
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(m7->Checked());
    EXPECT_TRUE(face->state().checked);
    EXPECT_EQ(form.CurrentChordTypeName(), "m7");
    EXPECT_EQ(fixture.NoteOns(4).size(), 4u);
    EXPECT_NE(m7->State(), TNXPanel::StateMouseDown);

    // A list button's name follows the chord type chosen from it.
    form.SelectChordTypeByName("m11");
    EXPECT_EQ(spokenName(button(form, "minList")), "More minor chords, m11");
}
