#include "core/ProjectInfo.h"

#include <QStringList>

namespace vetorlan {

QString ProgramVersion() {
    return QStringLiteral(VETORLAN_VERSION);
}

QString ProjectHomepage() {
    return QStringLiteral(VETORLAN_HOMEPAGE).trimmed();
}

QString ProjectContact() {
    return QStringLiteral(VETORLAN_CONTACT).trimmed();
}

QByteArray ProgramUserAgent() {
    QStringList parts{QStringLiteral("Vetorlan/") + ProgramVersion()};
    for (const QString& part : {ProjectHomepage(), ProjectContact()}) {
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(u' ').toUtf8();
}

} // namespace vetorlan
