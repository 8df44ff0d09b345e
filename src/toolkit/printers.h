#pragma once

#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;

// The system's printers, the print dialog and the start of every print job
// go through this class, so that tests can stand in for all three and no
// test needs a printer.
class Printers
{
public:
    struct DialogRequest
    {
        QWidget *parent = nullptr;
        // The pages that can be chosen.
        int minPage = 1;
        int maxPage = 1;
    };

    struct Hooks
    {
        // The names of the installed printers.
        std::function<QStringList()> printerNames;
        // Shows the print dialog for the printer, which it leaves set to the
        // chosen printer, range (fromPage/toPage, 0 for all) and copies.
        // Returns false when the user cancels.
        std::function<bool(QPrinter &printer, const DialogRequest &request)> printDialog;
        // Called when a job is about to start on the printer.
        std::function<void(QPrinter &printer)> jobStarting;
    };

    // Replaces the hooks; empty members use the system. Returns the hooks
    // that were in place.
    static Hooks setHooks(Hooks hooks);

    static QStringList printerNames();
    static bool printerInstalled() { return !printerNames().isEmpty(); }
    static bool execPrintDialog(QPrinter &printer, const DialogRequest &request);
    static void jobStarting(QPrinter &printer);
};
