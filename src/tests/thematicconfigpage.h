#pragma once

#include "thematicdraw.h"

#include <QMap>
#include <QSpinBox>
#include <QWidget>

class QLabel;
class QPushButton;
class ResumeOffer;

// A count field: 0 to 150, at most three characters of digits and signs; a
// value out of range is cut to the nearer limit when the field is left, and
// text that is no number reads as 0.
class CountSpinBox : public QSpinBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CountSpinBox)

public:
    static constexpr int Maximum = 150;

    explicit CountSpinBox(QWidget *parent = nullptr);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    int valueFromText(const QString &text) const override;
    void fixup(QString &input) const override;
};

// One of the two steps of the thematic test's configuration: a count field
// and its caption for each section of the step.
class ThematicConfigPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ThematicConfigPage)

public:
    explicit ThematicConfigPage(int step, QWidget *parent = nullptr);

    int step() const { return m_step; }
    // The counts of this step's sections, by section code.
    QMap<int, int> counts() const;
    // How many questions the bank holds for each section, by section code;
    // shown beside the count fields, so that nobody expects more.
    void setAvailable(const QMap<int, int> &available);
    // Step 1 offers to go back to an unfinished thematic test; step 2 has none.
    ResumeOffer *resumeOffer() const { return m_resume; }

signals:
    void nextRequested();     // "Dalej do kroku 2"
    void backRequested();     // "Powrót do kroku 1"
    void startRequested();    // "Rozpocznij test"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_step;
    QMap<int, CountSpinBox *> m_fields;
    QMap<int, QLabel *> m_available;
    ResumeOffer *m_resume = nullptr;
    QPushButton *m_start = nullptr;
};
