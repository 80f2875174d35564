#pragma once

#include "core/AutorunStore.h"

namespace vetorlan {

// The autorun entry on Windows: a string value under the current user's
// Software\Microsoft\Windows\CurrentVersion\Run key. The key is opened, never created;
// registry failures are silent.
class RegistryAutorunStore : public AutorunStore {
public:
    void SetAutorunValue(const QString& name, const QString& data) override;
    void DeleteAutorunValue(const QString& name) override;
};

} // namespace vetorlan
