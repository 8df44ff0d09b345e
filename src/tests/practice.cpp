#include "practice.h"

#include "data/database.h"
#include "progresspage.h"
#include "resultpage.h"
#include "retakedraw.h"
#include "testrunner.h"
#include "toolkit/messageboxes.h"

Practice::Practice(TestRunner *examRunner, TestRunner *thematicRunner, ProgressPage *progressPage,
                   QObject *parent)
    : QObject(parent), m_thematic(thematicRunner)
{
    for (TestRunner *runner : {examRunner, thematicRunner}) {
        connect(runner->resultPage(), &ResultPage::retakeRequested, this,
                [this, runner] { retakeWrongAnswers(runner); });
    }
    connect(progressPage, &ProgressPage::practiceRequested, this, &Practice::practiseSections);
}

bool Practice::mayReplaceThematicTest(const TestRunner *source) const
{
    if (source == m_thematic || m_thematic->step() != m_thematic->mode().answeringStep)
        return true;
    return MessageBoxes::question(
        m_thematic->answerPage()->window(), QStringLiteral("Potwierdzenie"),
        QStringLiteral("Trwa test tematyczny. Nowy zestaw zastąpi go.\r\n"
                       "Wszystkie dotychczas wprowadzone dane zostaną utracone!"),
        QMessageBox::No);
}

void Practice::retakeWrongAnswers(TestRunner *source)
{
    if (!mayReplaceThematicTest(source))
        return;
    QWidget *parent = source->resultPage()->window();
    int drawn = 0;
    // A failed draw leaves the finished test as it was.
    if (!runGuarded(parent, [&] {
            drawn = RetakeDraw::wrongAnswers(Database::connection(), source->mode().table);
        }))
        return;
    if (drawn == 0) {
        MessageBoxes::information(
            parent, QStringLiteral("Brak pytań"),
            QStringLiteral("Nie ma czego powtórzyć: pytań, na które odpowiedziano błędnie, "
                           "nie ma już w bazie pytań."));
        return;
    }
    m_thematic->closeSet();
    m_thematic->openDrawnSet(History::Kind::Retake);
}

void Practice::practiseSections(const QList<int> &sections)
{
    if (!mayReplaceThematicTest(nullptr))
        return;
    QWidget *parent = m_thematic->answerPage()->window();
    int drawn = 0;
    if (!runGuarded(parent,
                    [&] { drawn = RetakeDraw::weakestSections(Database::connection(), sections); }))
        return;
    if (drawn == 0) {
        MessageBoxes::information(parent, QStringLiteral("Brak pytań"),
                                  QStringLiteral("W bazie nie ma pytań z najsłabszych działów."));
        return;
    }
    m_thematic->closeSet();
    m_thematic->openDrawnSet(History::Kind::WeakestSections);
}
