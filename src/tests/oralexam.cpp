#include "oralexam.h"

#include "data/database.h"
#include "history.h"
#include "oralconfigpage.h"
#include "oraldrillpage.h"
#include "oralendpage.h"
#include "toolkit/messageboxes.h"

#include <QRandomGenerator>

#include <algorithm>

OralExam::OralExam(Hooks hooks, QObject *parent)
    : QObject(parent), m_hooks(std::move(hooks)), m_config(new OralConfigPage),
      m_drill(new OralDrillPage), m_end(new OralEndPage)
{
    connect(m_config, &OralConfigPage::startRequested, this, &OralExam::start);
    connect(m_drill, &OralDrillPage::judged, this, &OralExam::judge);
    connect(m_drill, &OralDrillPage::skipped, this, [this] {
        m_session.skip();
        next();
    });
    connect(m_drill, &OralDrillPage::documentRequested, this, [this](int itemId) {
        if (m_hooks.showDocument)
            m_hooks.showDocument(itemId);
    });
    connect(m_end, &OralEndPage::repeatRequested, this, &OralExam::repeatNotKnown);
    connect(m_end, &OralEndPage::finishRequested, this, &OralExam::finish);
}

// The pages belong to the window's page set once shown there.
OralExam::~OralExam() = default;

QString OralExam::currentPageName() const
{
    switch (m_step) {
    case Step::Drill:
        return m_drill->objectName();
    case Step::End:
        return m_end->objectName();
    case Step::Configuration:
        break;
    }
    return m_config->objectName();
}

QDate OralExam::today() const
{
    return m_hooks.today ? m_hooks.today() : QDate::currentDate();
}

QWidget *OralExam::dialogParent() const
{
    return m_config->window();
}

void OralExam::show()
{
    if (m_step == Step::Configuration) {
        QMap<int, int> counts;
        runGuarded(dialogParent(),
                   [&] { counts = OralDrill::availableCounts(Database::connection()); });
        m_config->setAvailable(counts);
    }
    if (m_hooks.showPage)
        m_hooks.showPage(currentPageName());
}

void OralExam::preparePage()
{
    if (m_step == Step::Drill)
        m_drill->setFocus(Qt::OtherFocusReason);
    else if (m_step == Step::End)
        m_end->setFocus(Qt::OtherFocusReason);
}

void OralExam::start()
{
    const int wanted = m_config->count();
    QList<OralDrill::Question> questions;
    if (!runGuarded(dialogParent(), [&] {
            const QSqlDatabase db = Database::connection();
            const QList<int> ids = OralDrill::order(OralDrill::candidates(db, m_config->sections()),
                                                    m_config->variant(), wanted, today(),
                                                    *QRandomGenerator::global());
            questions = OralDrill::load(db, ids);
        }))
        return;
    if (questions.isEmpty()) {
        MessageBoxes::information(dialogParent(), tr("Brak pytań"),
                                  tr("W wybranych działach nie ma pytań ustnych. "
                                     "Zaznacz inne działy."));
        return;
    }
    const QString note = questions.size() < wanted
        ? tr("W wybranych działach jest tylko %n pytań ustnych; ćwiczysz wszystkie.", nullptr,
             int(questions.size()))
        : QString();
    begin(std::move(questions), note);
}

void OralExam::repeatNotKnown()
{
    QList<OralDrill::Question> questions = m_session.notKnownQuestions();
    if (questions.isEmpty())
        return;
    std::shuffle(questions.begin(), questions.end(), *QRandomGenerator::global());
    begin(std::move(questions), QString());
}

void OralExam::begin(QList<OralDrill::Question> questions, const QString &note)
{
    OralDrill::Session next(std::move(questions));
    // Judgements not yet written go on with the new drill.
    next.adoptPending(m_session);
    m_session = std::move(next);
    m_note = note;
    m_step = Step::Drill;
    m_drill->showQuestion(m_session.current(), 1, m_session.size(), m_note);
    if (m_hooks.showPage)
        m_hooks.showPage(currentPageName());
    preparePage();
}

void OralExam::judge(OralDrill::Judgement judgement)
{
    if (m_step != Step::Drill || m_session.finished())
        return;
    m_session.judge(judgement, today());
    writePending();
    next();
}

void OralExam::writePending()
{
    // A judgement that cannot be written is kept and written with the next one.
    runGuarded(dialogParent(), [this] { m_session.writePending(Database::connection()); });
}

void OralExam::next()
{
    if (!m_session.finished()) {
        m_drill->showQuestion(m_session.current(), m_session.position() + 1, m_session.size(),
                              m_note);
        return;
    }
    if (m_session.hasPending())
        writePending();
    // A drill skipped through says nothing of the learner.
    if (m_session.judged() > 0)
        runGuarded(dialogParent(), [this] {
            History::recordOralDrill(Database::connection(), m_session.size(), m_session.known(),
                                     m_session.notKnown());
        });
    m_end->showResult(m_session);
    m_step = Step::End;
    if (m_hooks.showPage)
        m_hooks.showPage(currentPageName());
    preparePage();
}

void OralExam::finish()
{
    m_step = Step::Configuration;
    show();
}
