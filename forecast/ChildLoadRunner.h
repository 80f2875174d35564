#pragma once

#include "forecast/LoadRunner.h"

#include <QString>

class QEventLoop;
class QProcess;

namespace vetorlan {

// The argument that starts the program as a load process.
inline constexpr char kLoadChildArgument[] = "--load-child";

// Runs each load in a short-lived load process of this program, so that the fetching, its
// libraries and its memory never stay in this one. The request goes to the process's standard
// input, which stays open: closing it cancels the load. A process that crashes, is killed or
// ends without its reply gives a failed load with the reason.
class ChildLoadRunner : public LoadRunner {
public:
    explicit ChildLoadRunner(QString program) : program_(std::move(program)) {}
    LoadOutcome Run(const LoadRequest& request, const TownDone& townDone) override;
    void Cancel() override;
    // The load process's id while a load runs (0 when none).
    qint64 ChildProcessId() const;

    // How long a cancelled load process may take to end before it is killed.
    static constexpr int kKillAfterMs = 2000;

private:
    LoadOutcome Outcome(QProcess& process, const QByteArray& reply) const;

    QString program_;
    QProcess* process_ = nullptr;
    QEventLoop* waiting_ = nullptr;
    bool cancelled_ = false;
};

} // namespace vetorlan
