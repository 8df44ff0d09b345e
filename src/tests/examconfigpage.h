#pragma once

#include "examdraw.h"

#include <QWidget>

#include <array>

class QAbstractButton;
class QCheckBox;
class QPushButton;
class QRadioButton;
class QToolButton;
class ResumeOffer;

// The exam test's configuration: what qualification the user seeks. The
// controls hold the configuration for the run of the program.
class ExamConfigPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExamConfigPage)

public:
    explicit ExamConfigPage(QWidget *parent = nullptr);

    ExamTestConfig config() const;
    void setConfig(const ExamTestConfig &config);
    ResumeOffer *resumeOffer() const { return m_resume; }

public slots:
    void BB_GrupyTem_AllClick();
    void BB_GrupyTem_NoneClick();
    void BB_GrupyTem_InvClick();
    // Asks, then restores the defaults.
    void BB_TestStartCancelClick();

signals:
    // "Rozpocznij test".
    void startRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QToolButton *JvSB_D;
    QToolButton *JvSB_E;
    QCheckBox *CB_PE_do1kV;
    QCheckBox *CB_PE_po1kV;
    QRadioButton *JvRB_zakres_prac__obsluga;
    QRadioButton *JvRB_zakres_prac__konserwacja;
    QCheckBox *JvCB_OchrPrzPor_do1kV;
    QCheckBox *JvCB_OchrPrzPor_pow1kV;
    std::array<QCheckBox *, 10> JvCB_GT{};
    QPushButton *BB_TestStartCancel;
    QPushButton *BB_TestStartOK;
    ResumeOffer *m_resume;
};
