#include "dialogs/HintTiming.h"

#include <QApplication>
#include <QProxyStyle>

namespace {

class HintTimingStyle : public QProxyStyle {
public:
    int hintPause = 200;
    int shortPause = 300;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return hintPause;
        if (hint == SH_ToolTip_FallAsleepDelay)
            return shortPause;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The application owns its style; ours is installed the first time a delay is set.
HintTimingStyle& timingStyle()
{
    if (auto* style = dynamic_cast<HintTimingStyle*>(QApplication::style()))
        return *style;
    auto* style = new HintTimingStyle;
    QApplication::setStyle(style);
    return *style;
}

} // namespace

void SetHintTiming(int hintPauseMs, int shortPauseMs)
{
    HintTimingStyle& style = timingStyle();
    style.hintPause = hintPauseMs;
    style.shortPause = shortPauseMs;
}

void SetHintPause(int hintPauseMs)
{
    timingStyle().hintPause = hintPauseMs;
}

int HintPause()
{
    return QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
}

int HintShortPause()
{
    return QApplication::style()->styleHint(QStyle::SH_ToolTip_FallAsleepDelay);
}
