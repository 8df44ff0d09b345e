#pragma once

#include <QList>
#include <QObject>

class ProgressPage;
class TestRunner;

// Learning from mistakes: "Powtórz błędne" of both result pages and
// "Ćwicz najsłabsze działy" of the progress page. Both draw a thematic set
// and open it in the thematic runner.
class Practice : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Practice)

public:
    Practice(TestRunner *examRunner, TestRunner *thematicRunner, ProgressPage *progressPage,
             QObject *parent = nullptr);

    // A thematic test of the wrong and unanswered questions of the source's finished test.
    void retakeWrongAnswers(TestRunner *source);
    // A thematic test from the sections.
    void practiseSections(const QList<int> &sections);

private:
    // A thematic test being answered is given up only when the user says so.
    bool mayReplaceThematicTest(const TestRunner *source) const;

    TestRunner *m_thematic;
};
