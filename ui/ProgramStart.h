#pragma once

#include <QString>
#include <QStringList>

namespace vetorlan {

// The text that --help or --version asks for, printed before anything starts; empty for any
// other command line.
QString InformationRequestAnswer(const QStringList& arguments);

// The Qt platforms to try for this command line. A one-shot "/load" with no platform chosen
// uses the display when one is reachable, else the offscreen platform, so that it also runs
// from cron or a text console; empty leaves the choice to Qt.
QString OneShotLoadPlatform(const QStringList& arguments);

// What the desktop shows of the program: the icon of every window and message box, the
// desktop entry its windows belong to, and Qt's own texts (menus of text fields) in Russian.
void SetUpDesktopIntegration();

// A sentence for the user when the program folder could not be made or cannot be written,
// naming it; empty when the folder is usable.
QString ProgramFolderProblem(const QString& folder);

} // namespace vetorlan
