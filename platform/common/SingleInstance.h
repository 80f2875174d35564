#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace vetorlan {

// One running copy per program folder, whoever starts it: a hidden lock file in the program
// folder itself. The lock of a copy that crashed is recovered.
class SingleInstance {
public:
    explicit SingleInstance(const QString& programFolder);
    ~SingleInstance();

    // Takes the lock; false only when another living copy holds it.
    bool TryAcquire();
    void Release();

    static QString LockFilePath(const QString& programFolder);

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace vetorlan
