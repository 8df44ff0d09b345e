#pragma once

#include "toolkit/messageboxes.h"

#include <QList>

// Installs itself as the message-box presenter for its lifetime: records
// every box and answers each with the next scripted button (or the box's
// default button once the script has run out).
class ScriptedMessageBoxes
{
public:
    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes();
    ScriptedMessageBoxes(const ScriptedMessageBoxes &) = delete;
    ScriptedMessageBoxes &operator=(const ScriptedMessageBoxes &) = delete;

    void answer(QMessageBox::StandardButton button) { m_answers.append(button); }

    const QList<MessageBoxes::Request> &shown() const { return m_shown; }
    int count() const { return int(m_shown.size()); }
    // Texts of the standard error boxes shown so far.
    QStringList errors() const;
    void clear() { m_shown.clear(); }

private:
    QList<MessageBoxes::Request> m_shown;
    QList<QMessageBox::StandardButton> m_answers;
    MessageBoxes::Presenter m_previous;
};
