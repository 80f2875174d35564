#pragma once

#include "core/Settings.h"
#include "core/Sound.h"
#include "forecast/CopyView.h"
#include "net/ConnectionBackend.h"
#include "sources/Download.h"
#include "sources/HttpClient.h"
#include "towns/Selection.h"
#include "towns/TownCatalog.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <functional>
#include <mutex>

namespace vetorlan::test {

// A forecast page the fake service answers for a station index.
inline QByteArray FakePage(const QString& index) {
    return "<html><head><title>" + index.toLatin1() + "</title><link href=\"css/_weather.css\"></head><body>forecast " +
           index.toLatin1() + "</body></html>";
}

// Runs `work` on the user-interface thread and waits for it: from a fetch, this only returns
// when the window's thread is processing events during the load.
inline void OnUiThread(const std::function<void()>& work) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), work, Qt::BlockingQueuedConnection);
}

// Answers every URL with FakePage of its index, except the indices told to fail. Called on
// the load's worker threads: `during` runs there too.
class FakeFetcher : public HttpClient {
public:
    FakeFetcher() {
        SetHttpClient(this);
        SetPageSource(&ServicePages());
    }
    ~FakeFetcher() override {
        SetPageSource(nullptr);
        SetHttpClient(nullptr);
    }
    HttpResponse Get(const HttpRequest& request) override {
        const QString& url = request.url;
        {
            const std::lock_guard lock(mutex);
            urls << url;
        }
        if (during)
            during();
        const QString index = url.right(5);
        if (failing.contains(index))
            return {503, {}, {}, {}, {}};
        const QByteArray body = answers.contains(index) ? answers.value(index) : FakePage(index);
        return {200, {{"Content-Length", QByteArray::number(body.size())}}, body, {}, {}};
    }
    std::mutex mutex;
    QStringList urls;
    QSet<QString> failing;
    QHash<QString, QByteArray> answers; // instead of FakePage, for these indices
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
    ModemLinks MachineModemLinks() override { return modemLinks; }
    ModemLinks modemLinks = ModemLinks::Present;
    bool connected = true;
    int hangUps = 0;
};

// Selects catalogue positions as the multi-town list would.
inline void SelectPositions(TownSelection& selection, const QList<int>& positions) {
    selection.Clear();
    for (int position : positions)
        selection.Add(CatalogEntry(position));
}

} // namespace vetorlan::test
