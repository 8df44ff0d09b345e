#pragma once

#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QThread;
class QWidget;

// Runs a long operation on a thread of its own while a modal dialog shows
// what it is doing and how long it has taken. The body must not touch a
// widget; it asks runOnUiThread for that. An Error (or another exception) that
// ends the body is shown in the standard error box; the completion step runs
// on the UI thread in either case, before the dialog closes.
class Worker : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Worker)

public:
    struct Settings
    {
        QString caption; // the dialog's window title
        QString infoText; // the text shown first
    };
    using Body = std::function<void(Worker &worker)>; // runs on the worker thread
    using Completion = std::function<void()>; // runs on the UI thread

    // The UI thread is the thread the Worker is made on.
    Worker(QWidget *parent, Settings settings, Body body, Completion completion);
    ~Worker() override;

    // Starts the body and shows the dialog; returns when the body has ended,
    // the completion has run and the dialog has closed. While a run is going
    // on another one starts nothing and returns false. Returns true when
    // neither the body nor the completion raised an exception.
    bool run();
    bool isRunning() const { return m_running; }

    // Makes the dialog's animation instead of the ring of moving dots; takes
    // effect when the dialog is made, by the first run.
    void setAnimation(std::function<QWidget *(QWidget *parent)> make)
    {
        m_makeAnimation = std::move(make);
    }

    // Thread-safe. The dialog shows the text right away and at every refresh.
    void setInfoText(const QString &text);
    QString infoText() const;

    // Runs fn on the UI thread and waits for it; from the UI thread it just
    // calls fn. An exception fn raises is raised again in the caller.
    void runOnUiThread(const std::function<void()> &fn);

    // The progress dialog; made by the first run, kept until the Worker ends.
    QDialog *dialog() const;

    // The elapsed time as the dialog shows it: "hh:mm:ss".
    static QString formatElapsed(qint64 msecs);

    static constexpr int RefreshMsecs = 500;

signals:
    void finished(bool ok);

private:
    class ProgressDialog;

    void runBody();
    void bodyEnded();
    void refresh();
    void reportError(const QString &message);

    QPointer<QWidget> m_parent;
    Settings m_settings;
    Body m_body;
    Completion m_completion;
    std::function<QWidget *(QWidget *parent)> m_makeAnimation;

    QPointer<ProgressDialog> m_dialog;
    std::unique_ptr<QThread> m_thread;
    QTimer m_refreshTimer;
    QElapsedTimer m_clock;
    std::function<void()> m_quitLoop;

    mutable QMutex m_mutex;
    QString m_infoText; // guarded by m_mutex

    std::atomic<bool> m_running = false;
    bool m_bodyEnded = false;
    bool m_ok = false;
    std::optional<QString> m_bodyError; // written by the body, read after it ended
};
