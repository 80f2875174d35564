#pragma once

#include <QString>

namespace vetorlan {

// Where the "start with the system" entry lives: an XDG autostart file on Linux, the
// per-user Run value in the registry on Windows, a fake in tests.
class AutorunStore {
public:
    virtual ~AutorunStore() = default;
    // Stores `data` (the program's path) under `name`; failures are silent.
    virtual void SetAutorunValue(const QString& name, const QString& data) = 0;
    // Removes the entry `name`; silent when there is none.
    virtual void DeleteAutorunValue(const QString& name) = 0;
};

} // namespace vetorlan
