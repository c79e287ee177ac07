// Hints from the definitions file.
#include "dialogs/Hintsfromini.h"

#include "controls/Nxcomponentutils.h"
#include "platform/IniFile.h"

#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace {

const char* const HintsSection = "Hints";

int widgetTag(const QWidget& widget)
{
    const QVariant tag = widget.property("Tag");
    bool ok = false;
    const int value = tag.toInt(&ok);
    return ok ? value : 0;
}

std::string hintFor(const QWidget& widget, const HintLookup& lookup)
{
    const std::string name = widget.objectName().toLatin1().toStdString();
    // An unnamed widget has no key of its own; only its tag can give it a hint.
    std::string hint = name.empty() ? std::string() : lookup(name);
    if (hint.empty())
        if (const int tag = widgetTag(widget); tag != 0)
            hint = lookup("Tag" + std::to_string(tag));
    return HintText(std::move(hint));
}

void applyHints(QWidget* widget, const HintLookup& lookup)
{
    try {
        const std::string hint = hintFor(*widget, lookup);
        // An empty tool tip is Qt's "no hint": nothing pops up for this widget. A screen
        // reader gives the same text as the control's description.
        const QString text = FromDataText(hint);
        widget->setToolTip(text);
        widget->setAccessibleDescription(text);
        const QList<QWidget*> children = widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children)
            applyHints(child, lookup);
    } catch (...) {
        // Whatever failed for this control, its siblings and the rest of the window still get theirs.
    }
}

} // namespace

std::string HintText(std::string value)
{
    std::replace(value.begin(), value.end(), '|', '\n');
    return value;
}

void LoadHints(QWidget* root, const HintLookup& lookup)
{
    if (root)
        applyHints(root, lookup);
}

void LoadHintsFromIni(QWidget* root, const IniFile& ini)
{
    LoadHints(root, [&ini](const std::string& key) { return ini.ReadString(HintsSection, key, ""); });
}
