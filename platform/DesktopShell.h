#pragma once

#include "forecast/CopyView.h"

namespace vetorlan {

// The desktop's own handlers: files and addresses open in their associated program
// (xdg-open on Linux); programs start detached with their arguments, never through a shell.
class DesktopShell : public Shell {
public:
    bool OpenDocument(const QString& pathOrUrl) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
};

} // namespace vetorlan
