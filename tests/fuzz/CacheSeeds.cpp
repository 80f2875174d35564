// Writes cache entries of the recorded answers given, as a load stores them, into
// <folder>/vetorlan: the seeds of the cache entry harness.
// Usage: fuzz-cache-seeds <folder> <answer.json>...
#include "sources/AnswerCache.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

using namespace vetorlan;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: fuzz-cache-seeds <folder> <answer.json>...\n");
        return 2;
    }
    qputenv("XDG_CACHE_HOME", QFile::encodeName(QFileInfo(arguments[1]).absoluteFilePath()));
    for (const QString& path : arguments.mid(2)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        CachedAnswer answer{file.readAll(), "Mon, 20 Jul 2020 12:14:53 GMT", {}, {}};
        answer.fetched = fuzz::AnswerNow(answer.body);
        answer.expires = answer.fetched.addSecs(1800);
        if (!StoreCachedAnswer(QStringLiteral("seed"), QFileInfo(path).completeBaseName(), answer))
            return 1;
    }
    return 0;
}
