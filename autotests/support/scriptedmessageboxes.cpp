#include "scriptedmessageboxes.h"

ScriptedMessageBoxes::ScriptedMessageBoxes()
{
    m_previous = MessageBoxes::setPresenter([this](const MessageBoxes::Request &request) {
        m_shown.append(request);
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        return request.defaultButton != QMessageBox::NoButton ? request.defaultButton
                                                              : QMessageBox::Ok;
    });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes()
{
    MessageBoxes::setPresenter(std::move(m_previous));
}

QStringList ScriptedMessageBoxes::errors() const
{
    QStringList texts;
    for (const MessageBoxes::Request &request : m_shown) {
        if (request.icon == QMessageBox::Critical && request.caption == MessageBoxes::applicationTitle())
            texts.append(request.text);
    }
    return texts;
}
