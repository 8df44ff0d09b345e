#include "hintdelaystyle.h"

HintDelayStyle::HintDelayStyle(int delayMs, QStyle *base) : QProxyStyle(base), m_delayMs(delayMs) { }

int HintDelayStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                              QStyleHintReturn *returnData) const
{
    if (hint == SH_ToolTip_WakeUpDelay)
        return m_delayMs;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
