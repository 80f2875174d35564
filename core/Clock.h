#pragma once

#include <QDateTime>

namespace vetorlan {

// The one source of the current date and time for the scheduler and the status texts,
// so tests can walk through midnight or a set minute without waiting.
QDateTime Now();

// Fixes Now() at the given local time (invalid QDateTime: back to the system clock).
void SetNowOverride(const QDateTime& now);

} // namespace vetorlan
