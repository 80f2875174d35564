#include "core/Clock.h"

namespace vetorlan {

namespace {
QDateTime& nowOverride() {
    static QDateTime now;
    return now;
}
} // namespace

QDateTime Now() {
    return nowOverride().isValid() ? nowOverride() : QDateTime::currentDateTime();
}

void SetNowOverride(const QDateTime& now) {
    nowOverride() = now;
}

} // namespace vetorlan
