#pragma once

#include <QString>
#include <QStringList>

namespace vetorlan {

// Hands things to the desktop: the default handler of a file or web address, or a program
// started with its arguments (never through a shell).
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool OpenDocument(const QString& pathOrUrl) = 0;
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;
};
void SetShell(Shell* shell);
Shell* CurrentShell();

// The forced browser used when UseInternetExplorer is "True".
QString ForcedBrowserProgram();

// Copies every ".htm" and ".css" file of the program folder (and "_i" with CopyPictures)
// to the folder part of PathNimboraCopy; tells the user when that folder is missing.
void CopyForecast();

// Opens "Nimbora.htm" of the program folder, or tells the user there is none.
void ShowForecast();

} // namespace vetorlan
