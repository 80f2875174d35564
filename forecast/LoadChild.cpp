#include "forecast/LoadChild.h"

#include "core/Log.h"
#include "core/ProgramFolder.h"
#include "core/SystemFacts.h"
#include "forecast/LoadJob.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <memory>
#include <thread>

namespace vetorlan {

namespace {

// One load at a time in a folder, across processes: a cancelled load still finishing its
// write, or any stray second one, is waited for this long.
constexpr int kLoadLockWaitMs = 3000;

QByteArray ReadRequest(std::FILE* in) {
    QByteArray text;
    char buffer[4096];
    while (!text.endsWith("\nend\n") && std::fgets(buffer, sizeof buffer, in))
        text += buffer;
    return text;
}

// Cancels the load once `in` ends: the caller closed it, or ended without closing it.
void WatchForEnd(std::FILE* in, std::shared_ptr<LoadCancel> cancel) {
    std::thread([in, cancel] {
        while (std::fgetc(in) != EOF) {
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [cancel] { cancel->Cancel(); }, Qt::QueuedConnection);
    }).detach();
}

// Takes the folder's load lock. A lock file naming no owner, or an owner that has ended, was
// left by a killed load (Qt would wait out its 30 s age when the owner is missing, or when the
// lock it takes to remove one was itself left by a killed load).
bool TakeLoadLock(QLockFile& lock, const QString& path) {
    if (lock.tryLock(kLoadLockWaitMs) || lock.error() != QLockFile::LockFailedError)
        return true;
    qint64 pid = 0;
    QString host, program;
    if (lock.getLockInfo(&pid, &host, &program) && ProcessRuns(pid))
        return false;
    QFile::remove(path + QStringLiteral(".rmlock"));
    lock.removeStaleLockFile();
    return lock.tryLock(kLoadLockWaitMs) || lock.error() != QLockFile::LockFailedError;
}

int ExitCodeOf(const LoadOutcome& outcome) {
    switch (outcome.end) {
    case LoadOutcome::End::Succeeded:
        return kChildSucceeded;
    case LoadOutcome::End::FileError:
        return kChildFileError;
    case LoadOutcome::End::Cancelled:
        return kChildCancelled;
    case LoadOutcome::End::Failed:
        break;
    }
    return kChildFailed;
}

} // namespace

int RunLoadChild(std::FILE* in, std::FILE* out) {
    const auto reply = [out](const QByteArray& bytes) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
        std::fflush(out);
    };
    reply(EncodeReplyHeader());
    const std::optional<LoadRequest> request = DecodeRequest(ReadRequest(in));
    LoadOutcome outcome;
    if (!request) {
        outcome.reason = QStringLiteral("запрос не распознан");
        reply(EncodeEnd(outcome));
        return kChildBadRequest;
    }
    SetProgramFolder(request->folder);
    const QString lockPath = request->folder + QStringLiteral("/.nimbora-load.lock");
    QLockFile lock(lockPath);
    // A folder that cannot hold the lock cannot take the pages either: the load tells why.
    if (!TakeLoadLock(lock, lockPath)) {
        WriteLog(QStringLiteral("загрузка: предыдущая загрузка ещё не закончилась"));
        outcome.reason = QStringLiteral("предыдущая загрузка ещё не закончилась");
        reply(EncodeEnd(outcome));
        return kChildFailed;
    }
    const auto cancel = std::make_shared<LoadCancel>();
    WatchForEnd(in, cancel);
    outcome = RunLoadJob(
        *request, [&](int number, const TownResult& town) { reply(EncodeTownLine(number, town)); }, *cancel);
    reply(EncodeEnd(outcome));
    return ExitCodeOf(outcome);
}

} // namespace vetorlan
