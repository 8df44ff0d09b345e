#pragma once

#include <QProxyStyle>

// Sets the pause before a control's hint appears, for the whole application.
class HintDelayStyle : public QProxyStyle
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HintDelayStyle)

public:
    explicit HintDelayStyle(int delayMs, QStyle *base = nullptr);

    int styleHint(StyleHint hint, const QStyleOption *option = nullptr,
                  const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;

    int delay() const { return m_delayMs; }

private:
    int m_delayMs;
};
