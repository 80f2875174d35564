#include "core/Sound.h"

namespace vetorlan {

namespace {
SoundPlayer* player = nullptr;
}

void SetSoundPlayer(SoundPlayer* p) {
    player = p;
}

void PlaySuccessSound() {
    if (player)
        player->PlaySuccessSound();
}

} // namespace vetorlan
