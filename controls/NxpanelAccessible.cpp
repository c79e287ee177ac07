#include "controls/NxpanelAccessible.h"

#include "controls/Nxcomponentutils.h"
#include "controls/Nxpanel.h"

#include <QAccessibleWidget>

namespace {

class PanelAccessible : public QAccessibleWidget {
public:
    explicit PanelAccessible(TNXPanel* panel) : QAccessibleWidget(panel, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        const QString name = widget()->accessibleName();
        const std::string& shown = panel()->GetText();
        const QString text = FromDataText(shown);
        if (text.isEmpty() || text == name)
            return name;
        return name.isEmpty() ? text : name + ", " + text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (panel()->HoldsPicture(TNXPanel::SlotChecked)) {
            state.checkable = true;
            state.checked = panel()->Checked();
        }
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == pressAction())
            panel()->Press();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    TNXPanel* panel() const { return static_cast<TNXPanel*>(widget()); }
};

QAccessibleInterface* panelInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("TNXPanel") && object && object->isWidgetType())
        return new PanelAccessible(static_cast<TNXPanel*>(object));
    return nullptr;
}

} // namespace

void EnablePanelAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(panelInterface);
        return true;
    }();
    (void)installed;
}

void NotifyPanelChecked(TNXPanel* panel)
{
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(panel, changed);
    QAccessible::updateAccessibility(&event);
}

void NotifyPanelTextChanged(TNXPanel* panel)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(panel, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}
