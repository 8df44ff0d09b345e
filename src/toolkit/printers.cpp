#include "printers.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

Printers::Hooks &currentHooks()
{
    static Printers::Hooks hooks;
    return hooks;
}

} // namespace

Printers::Hooks Printers::setHooks(Hooks hooks)
{
    return std::exchange(currentHooks(), std::move(hooks));
}

QStringList Printers::printerNames()
{
    if (const auto &names = currentHooks().printerNames)
        return names();
    return QPrinterInfo::availablePrinterNames();
}

bool Printers::execPrintDialog(QPrinter &printer, const DialogRequest &request)
{
    if (const auto &dialog = currentHooks().printDialog)
        return dialog(printer, request);
    QPrintDialog dialog(&printer, request.parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies);
    dialog.setMinMax(request.minPage, request.maxPage);
    dialog.setFromTo(request.minPage, request.maxPage);
    return dialog.exec() == QDialog::Accepted;
}

void Printers::jobStarting(QPrinter &printer)
{
    if (const auto &starting = currentHooks().jobStarting)
        starting(printer);
}
