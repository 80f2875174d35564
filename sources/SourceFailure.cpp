#include "sources/SourceFailure.h"

#include <QStringList>

namespace vetorlan {

QString ReasonsText(const SourceFailures& failures) {
    QStringList parts;
    for (const SourceFailure& failure : failures)
        parts << failure.source + QStringLiteral(": ") + failure.reason;
    return parts.join(QStringLiteral("; "));
}

QString ReasonsLogText(const SourceFailures& failures) {
    QStringList parts;
    for (const SourceFailure& failure : failures) {
        QString part = failure.source + QStringLiteral(": ") + failure.reason;
        QStringList extra;
        if (failure.httpStatus > 0 && failure.reason != HttpStatusReason(failure.httpStatus))
            extra << QStringLiteral("HTTP %1").arg(failure.httpStatus);
        if (!failure.detail.isEmpty() && failure.detail != failure.reason)
            extra << failure.detail;
        if (!extra.isEmpty())
            part += QStringLiteral(" (") + extra.join(QStringLiteral(", ")) + QLatin1Char(')');
        parts << part;
    }
    return parts.join(QStringLiteral("; "));
}

QString HttpStatusReason(int status) {
    return QStringLiteral("HTTP %1").arg(status);
}

} // namespace vetorlan
