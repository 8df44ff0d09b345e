#include "scriptedmessageboxes.h"
#include "toolkit/busyindicator.h"
#include "toolkit/error.h"
#include "toolkit/messageboxes.h"
#include "toolkit/worker.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMutex>
#include <QRegularExpression>
#include <QScreen>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// What happened, in order, whichever thread it happened on.
class Log
{
public:
    void add(const QString &entry)
    {
        QMutexLocker locker(&m_mutex);
        m_entries.append(entry);
    }
    QStringList entries() const
    {
        QMutexLocker locker(&m_mutex);
        return m_entries;
    }

private:
    mutable QMutex m_mutex;
    QStringList m_entries;
};

const Worker::Settings TestSettings {u"Przygotowywanie testu"_s, u"Krok 1/2 - Mieszanie pytań"_s};

template<typename T> T *child(const Worker &worker, const QString &name)
{
    return worker.dialog() ? worker.dialog()->findChild<T *>(name) : nullptr;
}

int expectedWidth(const Worker &worker, const QString &text)
{
    const QFontMetrics metrics(child<QLabel>(worker, u"infoText"_s)->font());
    int textWidth = 0;
    for (const QString &line : text.split(u'\n'))
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    const int busyWidth = child<QWidget>(worker, u"busyAnimation"_s)->width();
    return std::max(textWidth + 80, busyWidth + 20);
}

} // namespace

class TestWorker : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void bodyOnItsThreadThenCompletionOnTheUiThread();
    void initialInfoTextIsShown();
    void infoTextSetByTheBodyIsShown_data();
    void infoTextSetByTheBodyIsShown();
    void elapsedTimeBox();
    void elapsedTimeFormat_data();
    void elapsedTimeFormat();
    void dialogLooks();
    void busyAnimationTurnsWhileTheBodyRuns();
    void animationOfTheCallersOwnReplacesTheDots();
    void escapeAndCloseDoNotEndTheDialog();
    void exceptionIsShownOnceAndCompletionStillRuns_data();
    void exceptionIsShownOnceAndCompletionStillRuns();
    void errorBoxComesFromTheUiThreadOverTheParent();
    void errorInTheCompletionIsShown();
    void runOnUiThreadRunsInOrder();
    void runOnUiThreadFromTheUiThreadCallsAtOnce();
    void errorInAUiCallbackEndsTheBody();
    void secondRunWhileRunningStartsNothing_data();
    void secondRunWhileRunningStartsNothing();
    void workerRunsAgainAfterARun();
    void instantBodyDoesNotHang_data();
    void instantBodyDoesNotHang();
    void completionShowingABoxDoesNotHang();

private:
    std::unique_ptr<QWidget> m_parent;
};

void TestWorker::init()
{
    m_parent = std::make_unique<QWidget>();
    m_parent->resize(300, 200);
    m_parent->show();
}

void TestWorker::cleanup()
{
    m_parent.reset();
}

void TestWorker::bodyOnItsThreadThenCompletionOnTheUiThread()
{
    Log log;
    QThread *uiThread = QThread::currentThread();
    QThread *bodyThread = nullptr;
    QThread *completionThread = nullptr;
    bool runningInBody = false;
    bool runningInCompletion = false;
    bool dialogVisibleInCompletion = false;

    Worker *workerPointer = nullptr;
    Worker worker(
        m_parent.get(), TestSettings,
        [&](Worker &self) {
            bodyThread = QThread::currentThread();
            runningInBody = self.isRunning();
            log.add(u"body"_s);
        },
        [&] {
            completionThread = QThread::currentThread();
            runningInCompletion = workerPointer->isRunning();
            dialogVisibleInCompletion = workerPointer->dialog()->isVisible();
            log.add(u"completion"_s);
        });
    workerPointer = &worker;
    QSignalSpy finished(&worker, &Worker::finished);

    QVERIFY(!worker.isRunning());
    QVERIFY(worker.run());
    log.add(u"returned"_s);

    QCOMPARE(log.entries(), QStringList({u"body"_s, u"completion"_s, u"returned"_s}));
    QVERIFY(bodyThread);
    QVERIFY(bodyThread != uiThread);
    QCOMPARE(completionThread, uiThread);
    QVERIFY(runningInBody);
    QVERIFY(runningInCompletion);
    QVERIFY(dialogVisibleInCompletion);
    QVERIFY(!worker.isRunning());
    QVERIFY(!worker.dialog()->isVisible());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), true);
}

void TestWorker::initialInfoTextIsShown()
{
    QString shown;
    int width = 0;
    int expected = -1;
    Worker worker(m_parent.get(), TestSettings,
                  [&](Worker &self) {
                      self.runOnUiThread([&] {
                          shown = child<QLabel>(self, u"infoText"_s)->text();
                          width = self.dialog()->width();
                          expected = expectedWidth(self, shown);
                      });
                  },
                  {});
    QVERIFY(worker.run());
    QCOMPARE(shown, TestSettings.infoText);
    QCOMPARE(width, expected);
}

void TestWorker::infoTextSetByTheBodyIsShown_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("next step") << u"Krok 2/2 - Zapisywanie wyników"_s;
    QTest::newRow("short, the animation sets the width") << u"a"_s;
    QTest::newRow("long") << u"Krok 1/1 - Wczytywanie pytań z bazy, to może chwilę potrwać"_s;
    QTest::newRow("two lines") << u"Krok 1/2\nMieszanie pytań i odpowiedzi"_s;
}

void TestWorker::infoTextSetByTheBodyIsShown()
{
    QFETCH(QString, text);

    QString shown;
    QString readBack;
    int width = 0;
    int expected = -1;
    Worker worker(m_parent.get(), TestSettings,
                  [&](Worker &self) {
                      self.setInfoText(text);
                      readBack = self.infoText();
                      self.runOnUiThread([&] {
                          QLabel *label = child<QLabel>(self, u"infoText"_s);
                          QTRY_COMPARE(label->text(), text);
                          shown = label->text();
                          width = self.dialog()->width();
                          expected = expectedWidth(self, text);
                      });
                  },
                  {});
    QVERIFY(worker.run());
    QCOMPARE(readBack, text);
    QCOMPARE(shown, text);
    QCOMPARE(width, expected);
}

void TestWorker::elapsedTimeBox()
{
    QString shown;
    QFrame::Shadow shadow = QFrame::Plain;
    Qt::Alignment alignment;
    Worker worker(m_parent.get(), TestSettings,
                  [&](Worker &self) {
                      self.runOnUiThread([&] {
                          const QLabel *label = child<QLabel>(self, u"elapsedTime"_s);
                          shown = label->text();
                          shadow = label->frameShadow();
                          alignment = label->alignment();
                      });
                  },
                  {});
    QVERIFY(worker.run());
    QVERIFY2(QRegularExpression(u"^00:00:0\\d$"_s).match(shown).hasMatch(), qPrintable(shown));
    QCOMPARE(shadow, QFrame::Sunken);
    QCOMPARE(alignment, Qt::AlignCenter);
}

void TestWorker::elapsedTimeFormat_data()
{
    QTest::addColumn<qint64>("msecs");
    QTest::addColumn<QString>("shown");

    QTest::newRow("start") << qint64(0) << u"00:00:00"_s;
    QTest::newRow("part of a second") << qint64(999) << u"00:00:00"_s;
    QTest::newRow("one second") << qint64(1000) << u"00:00:01"_s;
    QTest::newRow("seconds") << qint64(59'999) << u"00:00:59"_s;
    QTest::newRow("a minute") << qint64(60'000) << u"00:01:00"_s;
    QTest::newRow("minutes and seconds") << qint64(61'000) << u"00:01:01"_s;
    QTest::newRow("an hour") << qint64(3'600'000) << u"01:00:00"_s;
    QTest::newRow("all places") << qint64((12 * 3600 + 34 * 60 + 56) * 1000) << u"12:34:56"_s;
    QTest::newRow("over 99 hours") << qint64(100LL * 3600 * 1000) << u"100:00:00"_s;
}

void TestWorker::elapsedTimeFormat()
{
    QFETCH(qint64, msecs);
    QFETCH(QString, shown);
    QCOMPARE(Worker::formatElapsed(msecs), shown);
}

void TestWorker::dialogLooks()
{
    QString title;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::WindowFlags flags;
    bool hasButtons = true;
    bool ordered = false;
    QPoint offCentre(-1000, -1000);
    bool visible = false;
    Worker worker(m_parent.get(), TestSettings,
                  [&](Worker &self) {
                      self.runOnUiThread([&] {
                          QDialog *dialog = self.dialog();
                          visible = dialog->isVisible();
                          title = dialog->windowTitle();
                          modality = dialog->windowModality();
                          flags = dialog->windowFlags();
                          hasButtons = !dialog->findChildren<QAbstractButton *>().isEmpty()
                              || !dialog->findChildren<QDialogButtonBox *>().isEmpty();
                          const QWidget *info = child<QWidget>(self, u"infoText"_s);
                          const QWidget *busy = child<QWidget>(self, u"busyAnimation"_s);
                          const QWidget *elapsed = child<QWidget>(self, u"elapsedTime"_s);
                          ordered = info && busy && elapsed && info->geometry().bottom() < busy->y()
                              && busy->geometry().bottom() < elapsed->y();
                          offCentre = dialog->frameGeometry().center()
                              - dialog->screen()->availableGeometry().center();
                      });
                  },
                  {});
    QVERIFY(worker.run());
    QVERIFY(visible);
    QCOMPARE(title, TestSettings.caption);
    QCOMPARE(modality, Qt::ApplicationModal);
    QVERIFY(!hasButtons);
    QVERIFY(ordered);
    // The centre of an even extent lies half a pixel off the middle.
    QVERIFY2(offCentre.manhattanLength() <= 2,
             qPrintable(u"%1, %2"_s.arg(offCentre.x()).arg(offCentre.y())));
    QVERIFY(flags.testFlag(Qt::Dialog));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinMaxButtonsHint));
    QCOMPARE(worker.dialog()->parentWidget(), m_parent.get());
}

void TestWorker::busyAnimationTurnsWhileTheBodyRuns()
{
    bool turned = false;
    BusyIndicator *busy = nullptr;
    Worker worker(m_parent.get(), TestSettings,
                  [&](Worker &self) {
                      self.runOnUiThread([&] {
                          busy = child<BusyIndicator>(self, u"busyAnimation"_s);
                          QVERIFY(busy);
                          QVERIFY(busy->isAnimating());
                          const int first = busy->step();
                          QTRY_VERIFY(busy->step() != first);
                          turned = true;
                      });
                  },
                  {});
    QVERIFY(worker.run());
    QVERIFY(turned);
    QVERIFY(!busy->isAnimating());
}

void TestWorker::animationOfTheCallersOwnReplacesTheDots()
{
    QWidget *shown = nullptr;
    Worker worker(m_parent.get(), TestSettings,
                  [&](Worker &self) {
                      self.runOnUiThread(
                              [&] { shown = child<QWidget>(self, u"busyAnimation"_s); });
                  },
                  {});
    QPointer<QWidget> made;
    worker.setAnimation([&made](QWidget *parent) {
        made = new QLabel(u"*"_s, parent);
        return made.data();
    });
    QVERIFY(worker.run());
    QVERIFY(made);
    QCOMPARE(shown, made.data());
    QCOMPARE(made->parentWidget(), worker.dialog());
    QVERIFY(!worker.dialog()->findChild<BusyIndicator *>());
}

void TestWorker::escapeAndCloseDoNotEndTheDialog()
{
    bool visibleAfterEscape = false;
    bool closeAccepted = true;
    bool visibleAfterReject = false;
    Worker worker(m_parent.get(), TestSettings,
                  [&](Worker &self) {
                      self.runOnUiThread([&] {
                          QDialog *dialog = self.dialog();
                          QTest::keyClick(dialog, Qt::Key_Escape);
                          visibleAfterEscape = dialog->isVisible();
                          closeAccepted = dialog->close();
                          dialog->reject();
                          visibleAfterReject = dialog->isVisible();
                      });
                      self.runOnUiThread([&] { visibleAfterReject &= self.dialog()->isVisible(); });
                  },
                  {});
    QVERIFY(worker.run());
    QVERIFY(visibleAfterEscape);
    QVERIFY(!closeAccepted);
    QVERIFY(visibleAfterReject);
    QVERIFY(!worker.dialog()->isVisible());
}

void TestWorker::exceptionIsShownOnceAndCompletionStillRuns_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");

    QTest::newRow("Error") << 0 << u"Brak pliku bazy źródłowej."_s;
    QTest::newRow("Error ending in a full stop") << 1 << u"Nie można zapisać."_s;
    QTest::newRow("std::exception") << 2 << u"bad things."_s;
    QTest::newRow("anything else") << 3 << u"Nieznany błąd."_s;
}

void TestWorker::exceptionIsShownOnceAndCompletionStillRuns()
{
    QFETCH(int, kind);
    QFETCH(QString, shown);

    ScriptedMessageBoxes boxes;
    Log log;
    int boxesAtCompletion = -1;
    Worker worker(
        m_parent.get(), TestSettings,
        [&](Worker &) {
            log.add(u"body"_s);
            switch (kind) {
            case 0:
                throw Error(u"Brak pliku bazy źródłowej"_s);
            case 1:
                throw Error(u"Nie można zapisać."_s);
            case 2:
                throw std::runtime_error("bad things");
            default:
                throw 42;
            }
            log.add(u"after the throw"_s);
        },
        [&] {
            boxesAtCompletion = boxes.count();
            log.add(u"completion"_s);
        });
    QSignalSpy finished(&worker, &Worker::finished);

    QVERIFY(!worker.run());
    QCOMPARE(log.entries(), QStringList({u"body"_s, u"completion"_s}));
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.errors(), QStringList {shown});
    QCOMPARE(boxesAtCompletion, 1);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(!worker.isRunning());
    QVERIFY(!worker.dialog()->isVisible());
}

void TestWorker::errorBoxComesFromTheUiThreadOverTheParent()
{
    QList<QThread *> threads;
    QList<QWidget *> parents;
    QList<bool> dialogOnTop;
    Worker *workerPointer = nullptr;
    const MessageBoxes::Presenter previous
        = MessageBoxes::setPresenter([&](const MessageBoxes::Request &request) {
              threads.append(QThread::currentThread());
              parents.append(request.parent);
              dialogOnTop.append(
                  workerPointer->dialog()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
              return QMessageBox::Ok;
          });
    Worker worker(m_parent.get(), TestSettings, [](Worker &) { throw Error(u"Przerwano"_s); }, {});
    workerPointer = &worker;
    const bool ok = worker.run();
    MessageBoxes::setPresenter(previous);

    QVERIFY(!ok);
    QCOMPARE(threads, QList<QThread *> {QThread::currentThread()});
    QCOMPARE(parents, QList<QWidget *> {m_parent.get()});
    // A box must not end up behind the dialog.
    QCOMPARE(dialogOnTop, QList<bool> {false});
}

void TestWorker::errorInTheCompletionIsShown()
{
    ScriptedMessageBoxes boxes;
    Worker worker(
        m_parent.get(), TestSettings, [](Worker &) {},
        [] { throw Error(u"Nie udało się otworzyć testu"_s); });
    QVERIFY(!worker.run());
    QCOMPARE(boxes.errors(), QStringList {u"Nie udało się otworzyć testu."_s});
    QVERIFY(!worker.isRunning());
}

void TestWorker::runOnUiThreadRunsInOrder()
{
    Log log;
    QThread *uiThread = QThread::currentThread();
    bool allOnUiThread = true;
    Worker worker(
        m_parent.get(), TestSettings,
        [&](Worker &self) {
            for (int i = 0; i < 5; ++i) {
                log.add(u"body %1"_s.arg(i));
                self.runOnUiThread([&, i] {
                    allOnUiThread &= QThread::currentThread() == uiThread;
                    log.add(u"ui %1"_s.arg(i));
                });
            }
        },
        [&] { log.add(u"completion"_s); });
    QVERIFY(worker.run());
    QCOMPARE(log.entries(),
             QStringList({u"body 0"_s, u"ui 0"_s, u"body 1"_s, u"ui 1"_s, u"body 2"_s, u"ui 2"_s,
                          u"body 3"_s, u"ui 3"_s, u"body 4"_s, u"ui 4"_s, u"completion"_s}));
    QVERIFY(allOnUiThread);
}

void TestWorker::runOnUiThreadFromTheUiThreadCallsAtOnce()
{
    Worker worker(m_parent.get(), TestSettings, {}, {});
    int calls = 0;
    worker.runOnUiThread([&] { ++calls; });
    QCOMPARE(calls, 1);
}

void TestWorker::errorInAUiCallbackEndsTheBody()
{
    ScriptedMessageBoxes boxes;
    Log log;
    Worker worker(
        m_parent.get(), TestSettings,
        [&](Worker &self) {
            self.runOnUiThread([] { throw Error(u"Okno zamknięte"_s); });
            log.add(u"after the callback"_s);
        },
        [&] { log.add(u"completion"_s); });
    QVERIFY(!worker.run());
    QCOMPARE(log.entries(), QStringList {u"completion"_s});
    QCOMPARE(boxes.errors(), QStringList {u"Okno zamknięte."_s});
}

void TestWorker::secondRunWhileRunningStartsNothing_data()
{
    QTest::addColumn<bool>("fromCompletion");

    QTest::newRow("from a callback of the body") << false;
    QTest::newRow("from the completion") << true;
}

void TestWorker::secondRunWhileRunningStartsNothing()
{
    QFETCH(bool, fromCompletion);

    int bodies = 0;
    int completions = 0;
    std::optional<bool> second;
    Worker *workerPointer = nullptr;
    Worker worker(
        m_parent.get(), TestSettings,
        [&](Worker &self) {
            ++bodies;
            if (!fromCompletion)
                self.runOnUiThread([&] { second = self.run(); });
        },
        [&] {
            ++completions;
            if (fromCompletion)
                second = workerPointer->run();
        });
    workerPointer = &worker;
    QSignalSpy finished(&worker, &Worker::finished);

    QVERIFY(worker.run());
    QCOMPARE(second, std::optional<bool>(false));
    QCOMPARE(bodies, 1);
    QCOMPARE(completions, 1);
    QCOMPARE(finished.count(), 1);
}

void TestWorker::workerRunsAgainAfterARun()
{
    int bodies = 0;
    QStringList shownAtStart;
    Worker worker(m_parent.get(), TestSettings,
                  [&](Worker &self) {
                      ++bodies;
                      self.runOnUiThread(
                          [&] { shownAtStart.append(child<QLabel>(self, u"infoText"_s)->text()); });
                      self.setInfoText(u"Krok 2/2 - Zapisywanie"_s);
                  },
                  {});
    QVERIFY(worker.run());
    QVERIFY(worker.run());
    QCOMPARE(bodies, 2);
    // Each run starts again from the text of the settings.
    QCOMPARE(shownAtStart, QStringList({TestSettings.infoText, TestSettings.infoText}));
}

void TestWorker::instantBodyDoesNotHang_data()
{
    QTest::addColumn<bool>("emptyBody");
    QTest::addColumn<bool>("throws");

    QTest::newRow("returns at once") << false << false;
    QTest::newRow("throws at once") << false << true;
    QTest::newRow("no body") << true << false;
}

void TestWorker::instantBodyDoesNotHang()
{
    QFETCH(bool, emptyBody);
    QFETCH(bool, throws);

    ScriptedMessageBoxes boxes;
    int completions = 0;
    Worker::Body body;
    if (!emptyBody) {
        body = [throws](Worker &) {
            if (throws)
                throw Error(u"Od razu"_s);
        };
    }
    Worker worker(m_parent.get(), TestSettings, body, [&] { ++completions; });
    // Many runs, so an end that beats the dialog to the screen shows up.
    constexpr int Runs = 20;
    for (int i = 0; i < Runs; ++i)
        QCOMPARE(worker.run(), !throws);
    QCOMPARE(completions, Runs);
    QCOMPARE(boxes.count(), throws ? Runs : 0);
    QVERIFY(!worker.dialog()->isVisible());
}

void TestWorker::completionShowingABoxDoesNotHang()
{
    // A presenter with an event loop of its own, like a real message box; it
    // is closed from that loop.
    int boxes = 0;
    bool dialogVisibleUnderTheBox = false;
    Worker *workerPointer = nullptr;
    const MessageBoxes::Presenter previous
        = MessageBoxes::setPresenter([&](const MessageBoxes::Request &) {
              ++boxes;
              dialogVisibleUnderTheBox = workerPointer->dialog()->isVisible();
              QEventLoop loop;
              QTimer::singleShot(0, &loop, &QEventLoop::quit);
              loop.exec();
              return QMessageBox::Ok;
          });
    Worker worker(
        m_parent.get(), TestSettings, [](Worker &) { throw Error(u"Błąd"_s); },
        [] { MessageBoxes::information(nullptr, u"Test"_s, u"Gotowe"_s); });
    workerPointer = &worker;
    const bool ok = worker.run();
    MessageBoxes::setPresenter(previous);

    QVERIFY(!ok);
    QCOMPARE(boxes, 2);
    QVERIFY(dialogVisibleUnderTheBox);
    QVERIFY(!worker.dialog()->isVisible());
}

QTEST_MAIN(TestWorker)
#include "tst_worker.moc"
