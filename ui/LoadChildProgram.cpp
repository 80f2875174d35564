#include "ui/LoadChildProgram.h"

#include "core/Log.h"
#include "core/SystemFacts.h"
#include "forecast/ChildLoadRunner.h"
#include "forecast/LoadChild.h"
#include "platform/common/Services.h"
#include "sources/AnswerCache.h"

#include <QCoreApplication>
#include <cstring>

namespace vetorlan {

bool IsLoadChildRole(int argc, char** argv) {
    return argc == 2 && std::strcmp(argv[1], kLoadChildArgument) == 0;
}

int RunLoadChildProgram(int argc, char** argv) {
    // A reply to a program that has ended must not end the load in the middle of its writes.
    IgnoreBrokenPipes();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vetorlan"));
    SetLogFile(CacheFolder() + QStringLiteral("/vetorlan.log"));
    Services services;
    InstallLoadServices(services);
    return RunLoadChild(stdin, stdout);
}

} // namespace vetorlan
