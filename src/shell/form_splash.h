#pragma once

#include <QWidget>

class BlockProgressBar;
class QLabel;
class QTimer;
class TF_Main;

// The decorative start-up window. Its timer alone fills the progress bar; on
// the last tick it hands the screen over to the maximised main window.
class TF_Splash : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TF_Splash)

public:
    static constexpr int TickCount = 45;
    static constexpr int TickIntervalMs = 100;

    explicit TF_Splash(TF_Main *mainWindow, QWidget *parent = nullptr);

    BlockProgressBar *progressBar() const { return JvSpecialProgress1; }
    QTimer *timer() const { return Timer1; }

public slots:
    void Timer1Timer();

private:
    void FormCreate();

    TF_Main *m_mainWindow;
    QLabel *Image1;
    BlockProgressBar *JvSpecialProgress1;
    QTimer *Timer1;
};
