#include "forecast/ChildLoadRunner.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace vetorlan {

namespace {

// Reads the complete lines the load process has written, telling of each town as it comes.
class ReplyReader {
public:
    ReplyReader(QProcess& process, const TownDone& townDone) : process_(process), townDone_(townDone) {}
    void ReadLines() {
        while (process_.canReadLine())
            Take(process_.readLine());
    }
    // After the end: the last line may lack its line end.
    QByteArray Rest() {
        ReadLines();
        Take(process_.readAllStandardOutput());
        return reply_;
    }

private:
    void Take(const QByteArray& line) {
        reply_ += line;
        if (std::optional<TownResult> town = DecodeTownLine(line))
            townDone_(++towns_, *town);
    }

    QProcess& process_;
    const TownDone& townDone_;
    QByteArray reply_;
    int towns_ = 0;
};

LoadOutcome FailedOutcome(const QString& reason) {
    LoadOutcome outcome;
    outcome.end = LoadOutcome::End::Failed;
    outcome.reason = reason;
    return outcome;
}

// A cancelled load process is left to end by itself; it is killed if it takes too long.
void Abandon(QProcess* process) {
    process->disconnect();
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QTimer::singleShot(ChildLoadRunner::kKillAfterMs, process, [process] { process->kill(); });
}

} // namespace

LoadOutcome ChildLoadRunner::Run(const LoadRequest& request, const TownDone& townDone) {
    cancelled_ = false;
    auto* process = new QProcess;
    process->setProgram(program_);
    process->setArguments({QString::fromLatin1(kLoadChildArgument)});
    process->setWorkingDirectory(request.folder);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ReplyReader reader(*process, townDone);
    QEventLoop waiting;
    QObject::connect(process, &QProcess::readyReadStandardOutput, &waiting, [&reader] { reader.ReadLines(); });
    QObject::connect(process, &QProcess::finished, &waiting, &QEventLoop::quit);
    QObject::connect(process, &QProcess::errorOccurred, &waiting, [&waiting](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            waiting.quit();
    });
    process_ = process;
    waiting_ = &waiting;
    process->start();
    process->write(EncodeRequest(request));
    while (!cancelled_ && process->state() != QProcess::NotRunning)
        if (waiting.exec() < 0) // the application is quitting: no event loop can run any more
            Cancel();
    process_ = nullptr;
    waiting_ = nullptr;
    if (cancelled_) {
        Abandon(process);
        return {LoadOutcome::End::Cancelled, {}, {}, {}};
    }
    const LoadOutcome outcome = Outcome(*process, reader.Rest());
    delete process;
    return outcome;
}

LoadOutcome ChildLoadRunner::Outcome(QProcess& process, const QByteArray& reply) const {
    if (process.error() == QProcess::FailedToStart)
        return FailedOutcome(QStringLiteral("не запускается: ") + process.errorString());
    LoadOutcome outcome = DecodeReply(reply);
    if (process.exitStatus() == QProcess::CrashExit) {
        outcome.end = LoadOutcome::End::Failed;
        outcome.reason = QStringLiteral("прерван (сигнал %1)").arg(process.exitCode());
    }
    return outcome;
}

void ChildLoadRunner::Cancel() {
    if (!process_)
        return;
    cancelled_ = true;
    process_->closeWriteChannel();
    waiting_->quit();
}

qint64 ChildLoadRunner::ChildProcessId() const {
    return process_ ? process_->processId() : 0;
}

} // namespace vetorlan
