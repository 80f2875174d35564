#pragma once

#include "core/Sound.h"

#include <QString>
#include <future>

namespace vetorlan {

// Plays the success sound through libcanberra, the desktop's event-sound library, loaded at
// the first chime so that an idle program maps no sound libraries. libcanberra plays files, so
// the WAV resource is copied once into the user's runtime folder (the cache folder without
// one). Every chime runs on a worker thread: a missing library, sound server or device never
// makes the caller wait and never fails it.
class CanberraSoundPlayer : public SoundPlayer {
public:
    // The shared library to load, as QLibrary takes it (name or path, and major version).
    struct Library {
        QString name;
        int version = -1;
    };
    static Library DefaultLibrary();

    // `folder` receives the copy of `resource`; empty means the runtime or cache folder.
    explicit CanberraSoundPlayer(QString resource = QStringLiteral(":/sound/101.wav"), QString folder = {},
                                 Library library = DefaultLibrary());

    void PlaySuccessSound() override;
    // Starts one chime on a worker thread. The future holds an empty text once libcanberra has
    // taken the sound, or the reason it could not be played.
    std::future<QString> Start();

    // The file the sound is played from.
    QString SoundFile() const;

private:
    QString resource_;
    QString folder_;
    Library library_;
};

} // namespace vetorlan
