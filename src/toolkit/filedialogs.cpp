#include "filedialogs.h"

#include <QFileDialog>

namespace {

FileDialogs::SavePresenter &currentPresenter()
{
    static FileDialogs::SavePresenter presenter;
    return presenter;
}

} // namespace

FileDialogs::SavePresenter FileDialogs::setSavePresenter(SavePresenter presenter)
{
    return std::exchange(currentPresenter(), std::move(presenter));
}

QString FileDialogs::getSaveFileName(const SaveRequest &request)
{
    if (const SavePresenter &presenter = currentPresenter())
        return presenter(request);
    QFileDialog dialog(request.parent, request.caption, request.directory, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // The user asked to replace the file by choosing it.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
