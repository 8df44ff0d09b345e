#include "worker.h"

#include "busyindicator.h"
#include "toolkit/error.h"
#include "toolkit/messageboxes.h"

#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

using namespace Qt::StringLiterals;

// The modal dialog of a run. It refuses Escape and the window manager's close
// until the run lets it go.
class Worker::ProgressDialog : public QDialog
{
    Q_DISABLE_COPY_MOVE(ProgressDialog)

public:
    ProgressDialog(QWidget *parent, const std::function<QWidget *(QWidget *)> &animation);

    void prepare(const QString &caption);
    void setStaysOnTop(bool onTop);
    void setInfoText(const QString &text);
    void setElapsed(const QString &text) { m_elapsed->setText(text); }
    void finish();

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fitAndCentre();
    void centre();

    QLabel *m_info;
    QWidget *m_busy;
    QLabel *m_elapsed;
    bool m_closable = false;
    bool m_fitted = false;
};

Worker::ProgressDialog::ProgressDialog(QWidget *parent,
                                       const std::function<QWidget *(QWidget *)> &animation)
    : QDialog(parent), m_info(new QLabel(this)),
      m_busy(animation ? animation(this) : new BusyIndicator(this)),
      m_elapsed(new QLabel(this))
{
    m_info->setObjectName(u"infoText"_s);
    m_info->setAlignment(Qt::AlignCenter);
    m_info->setTextFormat(Qt::PlainText);
    m_busy->setObjectName(u"busyAnimation"_s);
    m_elapsed->setObjectName(u"elapsedTime"_s);
    m_elapsed->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_elapsed->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_info);
    layout->addWidget(m_busy, 0, Qt::AlignHCenter);
    layout->addWidget(m_elapsed);

    setWindowModality(Qt::ApplicationModal);
}

void Worker::ProgressDialog::prepare(const QString &caption)
{
    m_closable = false;
    // A custom hint with only the title leaves the window without any border
    // icon: nothing to close it with, nothing to ask for help with.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(caption);
    m_fitted = false;
}

void Worker::ProgressDialog::setStaysOnTop(bool onTop)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible && !isVisible())
        show();
}

void Worker::ProgressDialog::setInfoText(const QString &text)
{
    if (m_fitted && text == m_info->text())
        return;
    m_info->setText(text);
    fitAndCentre();
    m_fitted = true;
}

void Worker::ProgressDialog::fitAndCentre()
{
    const QFontMetrics metrics(m_info->font());
    int textWidth = 0;
    const QStringList lines = m_info->text().split(u'\n');
    for (const QString &line : lines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    const int width = std::max(textWidth + 80, m_busy->sizeHint().width() + 20);
    const QSize fixed(width, layout()->totalSizeHint().height());
    if (minimumSize() != fixed || maximumSize() != fixed)
        setFixedSize(fixed);

    centre();
}

void Worker::ProgressDialog::centre()
{
    QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is known only once the window is shown; until then it is
    // taken to be the dialog itself.
    QRect placed(QPoint(), frameGeometry().size());
    placed.moveCenter(screen->availableGeometry().center());
    move(placed.topLeft());
}

void Worker::ProgressDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centre();
}

void Worker::ProgressDialog::finish()
{
    m_closable = true;
    accept();
}

void Worker::ProgressDialog::reject()
{
    if (m_closable)
        QDialog::reject();
}

void Worker::ProgressDialog::closeEvent(QCloseEvent *event)
{
    if (m_closable)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

Worker::Worker(QWidget *parent, Settings settings, Body body, Completion completion)
    : QObject(parent), m_parent(parent), m_settings(std::move(settings)), m_body(std::move(body)),
      m_completion(std::move(completion))
{
    m_refreshTimer.setInterval(RefreshMsecs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &Worker::refresh);
}

Worker::~Worker()
{
    // Only reached with a body still at work when the Worker is destroyed
    // from outside a run; the body must not outlive the object it uses.
    if (m_thread)
        m_thread->wait();
    delete m_dialog.data();
}

bool Worker::run()
{
    if (m_running.exchange(true))
        return false;
    m_bodyEnded = false;
    m_ok = true;
    m_bodyError.reset();
    {
        QMutexLocker locker(&m_mutex);
        m_infoText = m_settings.infoText;
    }

    if (!m_dialog)
        m_dialog = new ProgressDialog(m_parent, m_makeAnimation);
    m_dialog->prepare(m_settings.caption);
    m_clock.start();
    refresh();
    m_dialog->show();
    m_refreshTimer.start();

    m_thread.reset(QThread::create([this] { runBody(); }));
    connect(m_thread.get(), &QThread::finished, this, &Worker::bodyEnded);
    m_thread->start();

    // The end of the body arrives as a queued signal, so it cannot slip in
    // before this loop; the flag covers an end handled in some nested loop.
    QEventLoop loop;
    m_quitLoop = [&loop] { loop.quit(); };
    if (!m_bodyEnded)
        loop.exec(QEventLoop::DialogExec);
    m_quitLoop = nullptr;

    const bool ok = m_ok;
    m_running = false;
    emit finished(ok);
    return ok;
}

void Worker::runBody()
{
    try {
        if (m_body)
            m_body(*this);
    } catch (const Error &error) {
        m_bodyError = error.message();
    } catch (const std::exception &exception) {
        m_bodyError = QString::fromUtf8(exception.what());
    } catch (...) {
        m_bodyError = u"Nieznany błąd"_s;
    }
}

void Worker::bodyEnded()
{
    m_thread->wait();
    m_refreshTimer.stop();
    refresh();
    // From here on only the UI thread works, and the boxes it may show must
    // not hide behind the dialog.
    m_dialog->setStaysOnTop(false);

    if (m_bodyError) {
        m_ok = false;
        reportError(*m_bodyError);
    }
    if (m_completion) {
        try {
            m_completion();
        } catch (const Error &error) {
            m_ok = false;
            reportError(error.message());
        } catch (const std::exception &exception) {
            m_ok = false;
            reportError(QString::fromUtf8(exception.what()));
        }
    }

    m_dialog->finish();
    // The keyboard goes back to the window the dialog covered, to the
    // control the completion gave it to.
    if (m_parent)
        m_parent->window()->activateWindow();
    m_bodyEnded = true;
    if (m_quitLoop)
        m_quitLoop();
}

void Worker::reportError(const QString &message)
{
    MessageBoxes::error(m_parent, message);
}

void Worker::refresh()
{
    if (!m_dialog)
        return;
    m_dialog->setInfoText(infoText());
    m_dialog->setElapsed(formatElapsed(m_clock.isValid() ? m_clock.elapsed() : 0));
}

void Worker::setInfoText(const QString &text)
{
    {
        QMutexLocker locker(&m_mutex);
        m_infoText = text;
    }
    if (QThread::currentThread() == thread())
        refresh();
    else
        QMetaObject::invokeMethod(
            this, [this] { refresh(); }, Qt::QueuedConnection);
}

QString Worker::infoText() const
{
    QMutexLocker locker(&m_mutex);
    return m_infoText;
}

void Worker::runOnUiThread(const std::function<void()> &fn)
{
    if (QThread::currentThread() == thread()) {
        fn();
        return;
    }
    // An exception must not unwind through the UI thread's event loop; it
    // is carried back and raised where the body can see it.
    std::exception_ptr raised;
    QMetaObject::invokeMethod(
        this,
        [&fn, &raised] {
            try {
                fn();
            } catch (...) {
                raised = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (raised)
        std::rethrow_exception(raised);
}

QDialog *Worker::dialog() const
{
    return m_dialog;
}

QString Worker::formatElapsed(qint64 msecs)
{
    const qint64 seconds = std::max<qint64>(msecs, 0) / 1000;
    return u"%1:%2:%3"_s.arg(seconds / 3600, 2, 10, QChar(u'0'))
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(seconds % 60, 2, 10, QChar(u'0'));
}
