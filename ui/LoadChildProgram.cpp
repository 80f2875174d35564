#include "ui/LoadChildProgram.h"

#include "core/Log.h"
#include "forecast/AnswerCache.h"
#include "forecast/ChildLoadRunner.h"
#include "forecast/Download.h"
#include "forecast/HttpClient.h"
#include "forecast/LoadChild.h"
#include "platform/CurlFetcher.h"
#include "platform/CurlHttpClient.h"

#include <QCoreApplication>
#include <csignal>
#include <cstring>

namespace vetorlan {

bool IsLoadChildRole(int argc, char** argv) {
    return argc == 2 && std::strcmp(argv[1], kLoadChildArgument) == 0;
}

int RunLoadChildProgram(int argc, char** argv) {
#ifdef SIGPIPE
    // A reply to a program that has ended must not end the load in the middle of its writes.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vetorlan"));
    SetLogFile(CacheFolder() + QStringLiteral("/vetorlan.log"));
    CurlFetcher fetcher;
    SetFetcher(&fetcher);
    CurlHttpClient liveSources;
    SetHttpClient(&liveSources);
    const int code = RunLoadChild(stdin, stdout);
    SetHttpClient(nullptr);
    SetFetcher(nullptr);
    return code;
}

} // namespace vetorlan
