#include "form_splash.h"

#include "form_main.h"
#include "pictures.h"
#include "toolkit/blockprogressbar.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

TF_Splash::TF_Splash(TF_Main *mainWindow, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_mainWindow(mainWindow),
      Image1(new QLabel(this)),
      JvSpecialProgress1(new BlockProgressBar(this)),
      Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("F_Splash"));
    setWindowTitle(QStringLiteral("Voltaris"));
    setFixedSize(640, 541);

    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(Pictures::splash());
    Image1->setAlignment(Qt::AlignCenter);
    JvSpecialProgress1->setObjectName(QStringLiteral("JvSpecialProgress1"));
    JvSpecialProgress1->setFixedSize(640, 15);
    JvSpecialProgress1->setRange(0, TickCount);
    JvSpecialProgress1->setColors(QColor(246, 255, 229), QColor(131, 162, 243));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Image1, 1);
    layout->addWidget(JvSpecialProgress1);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TickIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TF_Splash::Timer1Timer);
    Timer1->start();

    FormCreate();
}

void TF_Splash::FormCreate()
{
    JvSpecialProgress1->setPosition(0);
}

void TF_Splash::Timer1Timer()
{
    JvSpecialProgress1->setPosition(JvSpecialProgress1->position() + 1);
    if (JvSpecialProgress1->position() != JvSpecialProgress1->maximum())
        return;

    Timer1->stop();
    m_mainWindow->setMinimumSize(TF_Main::RunningMinimumSize);
    m_mainWindow->move(0, 0);
    m_mainWindow->showMaximized();
    m_mainWindow->setEnabled(true);
    QCoreApplication::processEvents();
    m_mainWindow->PlaceMakerLink();
    close();
}
