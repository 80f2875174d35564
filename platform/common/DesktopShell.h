#pragma once

#include "forecast/CopyView.h"

namespace vetorlan {

// The desktop's own handlers: files and addresses open in their associated program
// (xdg-open on Linux); programs start detached with their arguments, never through a shell.
class DesktopShell : public Shell {
public:
    bool OpenDocument(const QString& pathOrUrl) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
    // On Linux xdg-open is started and watched for `kOpenerWatchMs`: a failure it reports in
    // that time (no default browser, say) reaches `failed`. It is never ended by us, since it
    // may wait for the browser it started.
    void OpenPage(const QString& page, const OpenFailed& failed) override;

    static constexpr int kOpenerWatchMs = 15000;
};

} // namespace vetorlan
