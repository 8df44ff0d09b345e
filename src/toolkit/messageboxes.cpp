#include "messageboxes.h"

#include <QCoreApplication>

namespace {

MessageBoxes::Presenter &currentPresenter()
{
    static MessageBoxes::Presenter presenter;
    return presenter;
}

QMessageBox::StandardButton presentForReal(const MessageBoxes::Request &request)
{
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, request.parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

MessageBoxes::Presenter MessageBoxes::setPresenter(Presenter presenter)
{
    return std::exchange(currentPresenter(), std::move(presenter));
}

QMessageBox::StandardButton MessageBoxes::show(const Request &request)
{
    const Presenter &presenter = currentPresenter();
    return presenter ? presenter(request) : presentForReal(request);
}

QString MessageBoxes::applicationTitle()
{
    return QStringLiteral("Voltaris");
}

QString MessageBoxes::withFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void MessageBoxes::error(QWidget *parent, const QString &message)
{
    show({parent, QMessageBox::Critical, applicationTitle(), withFullStop(message), QMessageBox::Ok,
          QMessageBox::Ok});
}

void MessageBoxes::information(QWidget *parent, const QString &caption, const QString &text)
{
    show({parent, QMessageBox::Information, caption, text, QMessageBox::Ok, QMessageBox::Ok});
}

void MessageBoxes::warning(QWidget *parent, const QString &caption, const QString &text)
{
    show({parent, QMessageBox::Warning, caption, text, QMessageBox::Ok, QMessageBox::Ok});
}

bool MessageBoxes::question(QWidget *parent, const QString &caption, const QString &text,
                            QMessageBox::StandardButton defaultButton)
{
    return show({parent, QMessageBox::Question, caption, text,
                 QMessageBox::Yes | QMessageBox::No, defaultButton})
            == QMessageBox::Yes;
}
