#pragma once

#include "core/Settings.h"
#include "core/Sound.h"
#include "forecast/CopyView.h"
#include "forecast/Down.h"
#include "net/ConnectionBackend.h"
#include "towns/Base.h"
#include "towns/Selection.h"

#include <QByteArray>
#include <QFile>
#include <QSet>
#include <QStringList>
#include <functional>

namespace vetorlan::test {

// A forecast page the fake service answers for a station index.
inline QByteArray FakePage(const QString& index) {
    return "<html><head><title>" + index.toLatin1() + "</title></head><body>forecast " + index.toLatin1() +
           "</body></html>";
}

// Answers every URL with FakePage of its index, except the indices told to fail, which
// leave the target untouched (as the real fetcher does).
class FakeFetcher : public Fetcher {
public:
    FakeFetcher() { SetFetcher(this); }
    ~FakeFetcher() override { SetFetcher(nullptr); }
    bool Fetch(const QString& url, const QString& path) override {
        urls << url;
        paths << path;
        if (during)
            during();
        const QString index = url.right(5);
        if (failing.contains(index))
            return false;
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(FakePage(index)) > 0;
    }
    QStringList urls, paths;
    QSet<QString> failing;
    std::function<void()> during;
};

class FakeSound : public SoundPlayer {
public:
    FakeSound() { SetSoundPlayer(this); }
    ~FakeSound() override { SetSoundPlayer(nullptr); }
    void PlaySuccessSound() override { ++plays; }
    int plays = 0;
};

class FakeShell : public Shell {
public:
    FakeShell() { SetShell(this); }
    ~FakeShell() override { SetShell(nullptr); }
    bool OpenDocument(const QString& target) override {
        opened << target;
        return true;
    }
    bool StartProgram(const QString& program, const QStringList& arguments) override {
        started << program + " " + arguments.join(' ');
        return true;
    }
    QStringList opened, started;
};

// One dial-up connection whose state the test sets; counts hang-ups.
class FakeLine : public ConnectionBackend {
public:
    FakeLine() { SetConnectionBackend(this); }
    ~FakeLine() override { SetConnectionBackend(nullptr); }
    bool ListConnections(QList<Handle>& handles) override {
        handles = {1};
        return true;
    }
    bool IsConnected(Handle) override { return connected; }
    void HangUp(Handle) override { ++hangUps; }
    bool connected = true;
    int hangUps = 0;
};

// Selects catalogue positions as the multi-town list would.
inline void SelectPositions(const QList<int>& positions) {
    SelectedCount = 0;
    for (int position : positions)
        SelectedTowns[++SelectedCount] = CatalogEntry(position);
}

} // namespace vetorlan::test
