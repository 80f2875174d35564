#pragma once

namespace vetorlan {

// Plays the success sound (resource 101) asynchronously. The program installs the
// platform's player (libcanberra, PlaySound); without one nothing is played. A missing audio device
// never blocks or fails the caller.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void PlaySuccessSound() = 0;
};
void SetSoundPlayer(SoundPlayer* player);
void PlaySuccessSound();

} // namespace vetorlan
