#pragma once

#include <QString>

namespace vetorlan {

// Outcome of a file operation: success, or a failure with a human-readable reason.
struct FsStatus {
    bool ok = true;
    QString error;

    static FsStatus success() { return {}; }
    static FsStatus failure(QString why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

} // namespace vetorlan
