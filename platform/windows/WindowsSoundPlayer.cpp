#include "platform/windows/WindowsSoundPlayer.h"

#include <QFile>

#include <windows.h>

#include <mmsystem.h>

namespace vetorlan {

WindowsSoundPlayer::WindowsSoundPlayer(QString resource) : resource_(std::move(resource)) {}

void WindowsSoundPlayer::PlaySuccessSound() {
    if (bytes_.isEmpty()) {
        QFile wav(resource_);
        if (!wav.open(QIODevice::ReadOnly))
            return;
        bytes_ = wav.readAll();
    }
    PlaySoundA(bytes_.constData(), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
}

} // namespace vetorlan
