#pragma once

#include <QString>
#include <QCoro/QCoroTask>

#include <optional>

// Asks the user where to save a file. The program's panel is a file dialog
// (platform/gui); tests answer it themselves.
class SavePanel
{
public:
    struct Request
    {
        QString title;
        QString suggestedName;
        QString nameFilter;    // e.g. "PDF (*.pdf)"
        QString defaultSuffix; // added when the typed name has none
    };

    virtual ~SavePanel() = default;
    // The chosen file's absolute path, or nothing when the user cancelled.
    virtual QCoro::Task<std::optional<QString>> chooseDestination(Request request) = 0;
};
