#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through this class. Tests install a
// presenter of their own that answers the boxes and records what was shown.
class MessageBoxes
{
public:
    struct Request
    {
        QWidget *parent = nullptr;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };

    // Shows a request and returns the button that closed the box.
    using Presenter = std::function<QMessageBox::StandardButton(const Request &)>;

    // Replaces the presenter; an empty one restores the real message boxes.
    // Returns the presenter that was in place.
    static Presenter setPresenter(Presenter presenter);

    static QMessageBox::StandardButton show(const Request &request);

    // The application's standard error box: caption "Voltaris", the message
    // with a full stop where it lacks one, an error icon and an OK button.
    static void error(QWidget *parent, const QString &message);
    static void information(QWidget *parent, const QString &caption, const QString &text);
    static void warning(QWidget *parent, const QString &caption, const QString &text);
    // A Yes/No question with a question icon; true only for Yes.
    static bool question(QWidget *parent, const QString &caption, const QString &text,
                         QMessageBox::StandardButton defaultButton = QMessageBox::Yes);

    // Appends a full stop when the last character sorts after ".": a message
    // ending in a letter or a digit gets one, one ending in "." or "!" (or a
    // closing bracket) is left as it is.
    static QString withFullStop(const QString &message);

    static QString applicationTitle();
};

// Runs an operation and shows an Error it raises in the standard error box.
// Returns false when the operation was ended by an error.
template<typename Operation>
bool runGuarded(QWidget *parent, Operation &&operation);

#include "toolkit/error.h"

template<typename Operation>
bool runGuarded(QWidget *parent, Operation &&operation)
{
    try {
        operation();
        return true;
    } catch (const Error &error) {
        MessageBoxes::error(parent, error.message());
        return false;
    }
}
