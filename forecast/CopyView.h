#pragma once

#include "core/Settings.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace vetorlan {

// Hands things to the desktop: the default handler of a file or web address, or a program
// started with its arguments (never through a shell).
class Shell {
public:
    // Told why a page did not open.
    using OpenFailed = std::function<void(const QString& why)>;

    virtual ~Shell() = default;
    virtual bool OpenDocument(const QString& pathOrUrl) = 0;
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;
    // Opens a local page in the desktop's default browser. `failed` hears why it did not open:
    // at once, or a moment later when the desktop's opener reports its failure.
    virtual void OpenPage(const QString& page, const OpenFailed& failed) {
        if (!OpenDocument(page))
            failed(QStringLiteral("браузер по умолчанию не запускается"));
    }
};
void SetShell(Shell* shell);
Shell* CurrentShell();

// The browser used when UseInternetExplorer is "True" and no browser command is set is
// ForcedBrowserProgram() (core/SystemFacts.h).

// The message telling the user that the page did not open, and why.
QString BrowserFailureMessage(const QString& why);

// Copies every ".htm" and ".css" file of the program folder (and "_i" with CopyPictures)
// to the folder part of PathNimboraCopy; tells the user when that folder is missing.
void CopyForecast(const Settings& settings);

// Opens "Nimbora.htm" of the program folder in the browser the settings choose: the desktop's
// default ("False"), or the browser command of Vetorlan.ini ("True"). Tells the user when
// there is no page or it does not open.
void ShowForecast(const Settings& settings);

} // namespace vetorlan
