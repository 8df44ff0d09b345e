#pragma once

#include "oraldrill.h"

#include <QObject>

#include <functional>

class OralConfigPage;
class OralDrillPage;
class OralEndPage;

// The oral drill's way through its three pages: the configuration, the
// questions and the end, and the records of the judgements.
class OralExam : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OralExam)

public:
    struct Hooks
    {
        std::function<void(const QString &pageName)> showPage;
        std::function<void(int itemId)> showDocument;
        // Today; the real date when none.
        std::function<QDate()> today;
    };

    explicit OralExam(Hooks hooks, QObject *parent = nullptr);
    ~OralExam() override;

    OralConfigPage *configPage() const { return m_config; }
    OralDrillPage *drillPage() const { return m_drill; }
    OralEndPage *endPage() const { return m_end; }
    const OralDrill::Session &session() const { return m_session; }

    // The page the drill stands at, filled afresh.
    void show();
    // Gives the keys to the page shown.
    void preparePage();
    QString currentPageName() const;

public slots:
    void start();
    void repeatNotKnown();
    void finish();

private:
    enum class Step { Configuration, Drill, End };

    void begin(QList<OralDrill::Question> questions, const QString &note);
    void judge(OralDrill::Judgement judgement);
    void next();
    void writePending();
    QDate today() const;
    QWidget *dialogParent() const;

    Hooks m_hooks;
    OralConfigPage *m_config;
    OralDrillPage *m_drill;
    OralEndPage *m_end;
    OralDrill::Session m_session;
    QString m_note;
    Step m_step = Step::Configuration;
};
