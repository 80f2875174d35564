#pragma once

#include <QByteArray>
#include <QString>

namespace vetorlan {

// What the build says about the project: the version, and the web address and contact mail
// address when the build names them (empty otherwise, and then nothing shows them).
QString ProgramVersion();
QString ProjectHomepage();
QString ProjectContact();

// How the program names itself to the servers it asks: "Vetorlan/<version>", then the web
// address and the contact when the build has them.
QByteArray ProgramUserAgent();

} // namespace vetorlan
