#include "platform/linux/CanberraSoundPlayer.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace vetorlan {

namespace {

// The few libcanberra functions used, declared here so that no development package is needed.
struct CaContext;
struct CanberraApi {
    int (*create)(CaContext**) = nullptr;
    int (*changeProps)(CaContext*, ...) = nullptr;
    int (*play)(CaContext*, std::uint32_t, ...) = nullptr;
    const char* (*strerror)(int) = nullptr;
    CaContext* context = nullptr;
};
constexpr int kCaSuccess = 0;
constexpr const char* kPropApplicationName = "application.name";
constexpr const char* kPropMediaFilename = "media.filename";
constexpr const char* kPropEventDescription = "event.description";
constexpr const char* kFileName = "vetorlan-chime.wav";

template <typename Function> bool Resolve(QLibrary& library, const char* symbol, Function& function) {
    function = reinterpret_cast<Function>(library.resolve(symbol));
    return function != nullptr;
}

bool OpenLibrary(const CanberraSoundPlayer::Library& which, CanberraApi& api, QString& why) {
    QLibrary library(which.name, which.version);
    if (!library.load()) {
        why = QStringLiteral("cannot load libcanberra: ") + library.errorString();
        return false;
    }
    if (!Resolve(library, "ca_context_create", api.create) ||
        !Resolve(library, "ca_context_change_props", api.changeProps) ||
        !Resolve(library, "ca_context_play", api.play) || !Resolve(library, "ca_strerror", api.strerror)) {
        why = QStringLiteral("not a usable libcanberra: ") + library.fileName();
        library.unload();
        return false;
    }
    return true; // stays loaded for the program's life: QLibrary does not unload on destruction
}

// libcanberra loaded with one context, once per library; nullptr with a reason when it cannot
// be. A failure is not remembered, so a later chime tries again. The table is never destroyed:
// a chime may still be playing on its thread while the program ends.
const CanberraApi* LoadCanberra(const CanberraSoundPlayer::Library& which, QString& why) {
    static std::mutex mutex;
    static auto* loaded = new std::map<std::pair<QString, int>, std::unique_ptr<CanberraApi>>;
    const std::lock_guard lock(mutex);
    std::unique_ptr<CanberraApi>& api = (*loaded)[{which.name, which.version}];
    if (api)
        return api.get();
    auto candidate = std::make_unique<CanberraApi>();
    if (!OpenLibrary(which, *candidate, why))
        return nullptr;
    const int created = candidate->create(&candidate->context);
    if (created != kCaSuccess) {
        why = QStringLiteral("libcanberra could not start: ") + QString::fromUtf8(candidate->strerror(created));
        return nullptr;
    }
    candidate->changeProps(candidate->context, kPropApplicationName, "Vetorlan", nullptr);
    api = std::move(candidate);
    return api.get();
}

// Writes the sound's bytes to `path` unless the file already holds them; whole or not at all.
bool WriteSoundFile(const QString& resource, const QString& path, QString& why) {
    QFile source(resource);
    if (!source.open(QIODevice::ReadOnly)) {
        why = QStringLiteral("cannot read the sound ") + resource;
        return false;
    }
    const QByteArray bytes = source.readAll();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        why = QStringLiteral("cannot write ") + path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

QString PlayOnce(const CanberraSoundPlayer::Library& library, const QString& resource, const QString& path) {
    QString why;
    const CanberraApi* api = LoadCanberra(library, why);
    if (!api || !WriteSoundFile(resource, path, why))
        return why;
    const QByteArray file = QFile::encodeName(path);
    const int played = api->play(api->context, 0, kPropMediaFilename, file.constData(), kPropEventDescription,
                                 "Forecast loaded", nullptr);
    if (played != kCaSuccess)
        return QStringLiteral("libcanberra did not play: ") + QString::fromUtf8(api->strerror(played));
    return {};
}

QString DefaultFolder() {
    // The runtime folder holds only this session's files; without one, the program's cache.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

} // namespace

CanberraSoundPlayer::Library CanberraSoundPlayer::DefaultLibrary() {
    return {QStringLiteral("canberra"), 0};
}

CanberraSoundPlayer::CanberraSoundPlayer(QString resource, QString folder, Library library)
    : resource_(std::move(resource)), folder_(std::move(folder)), library_(std::move(library)) {}

QString CanberraSoundPlayer::SoundFile() const {
    return QDir(folder_.isEmpty() ? DefaultFolder() : folder_).filePath(QString::fromLatin1(kFileName));
}

void CanberraSoundPlayer::PlaySuccessSound() {
    Start();
}

std::future<QString> CanberraSoundPlayer::Start() {
    std::promise<QString> done;
    std::future<QString> result = done.get_future();
    auto work = [library = library_, resource = resource_, path = SoundFile(), done = std::move(done)]() mutable {
        done.set_value(PlayOnce(library, resource, path));
    };
    // Detached: the caller never waits, not even when the program ends during a chime.
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        std::promise<QString> failed;
        failed.set_value(QStringLiteral("no thread for the sound"));
        return failed.get_future();
    }
    return result;
}

} // namespace vetorlan
