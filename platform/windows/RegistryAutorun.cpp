#include "platform/windows/RegistryAutorun.h"

#include <QByteArray>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace vetorlan {

namespace {

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Opens the Run key of the current user; null when it cannot be opened.
HKEY openRunKey() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kRunKey, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

} // namespace

void RegistryAutorunStore::SetAutorunValue(const QString& name, const QString& data) {
    HKEY key = openRunKey();
    if (!key)
        return;
    // The ANSI forms, as the system's code page gives them; the size includes the closing zero.
    const QByteArray ansiName = name.toLocal8Bit();
    const QByteArray ansiData = data.toLocal8Bit();
    RegSetValueExA(key, ansiName.constData(), 0, REG_SZ, reinterpret_cast<const BYTE*>(ansiData.constData()),
                   DWORD(ansiData.size() + 1));
    RegCloseKey(key);
}

void RegistryAutorunStore::DeleteAutorunValue(const QString& name) {
    HKEY key = openRunKey();
    if (!key)
        return;
    RegDeleteValueA(key, name.toLocal8Bit().constData());
    RegCloseKey(key);
}

} // namespace vetorlan
