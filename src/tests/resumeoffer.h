#pragma once

#include "testset.h"

#include <QFrame>

#include <optional>

class QLabel;
class QPushButton;

// A strip on a configuration page that offers to go back to a test left
// unfinished, saying how far it got; hidden while there is none.
class ResumeOffer : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResumeOffer)

public:
    explicit ResumeOffer(const QString &suffix, QWidget *parent = nullptr);

    void setProgress(const std::optional<Scoring::Progress> &progress);
    QString text() const;

signals:
    // "Wróć do przerwanego testu".
    void resumeRequested();

private:
    QLabel *m_label;
    QPushButton *m_button;
};
