#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every file dialog of the program goes through this class, so that tests
// can answer them.
class FileDialogs
{
public:
    struct SaveRequest
    {
        QWidget *parent = nullptr;
        QString caption;
        QString directory;
        QString filter;
        QString defaultSuffix;
    };

    // Returns the chosen file, or an empty string when the user cancels.
    using SavePresenter = std::function<QString(const SaveRequest &)>;

    // Replaces the presenter; an empty one restores the real dialog.
    static SavePresenter setSavePresenter(SavePresenter presenter);
    static QString getSaveFileName(const SaveRequest &request);
};
