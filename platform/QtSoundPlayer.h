#pragma once

#include "core/Sound.h"

#include <QString>
#include <memory>

class QSoundEffect;

namespace vetorlan {

// Plays the success sound (the WAV resource) with QSoundEffect, asynchronously. The effect
// is made at the first play and kept, so the sound is never cut short; without an audio
// device nothing is heard and nothing waits.
class QtSoundPlayer : public SoundPlayer {
public:
    explicit QtSoundPlayer(QString source = QStringLiteral("qrc:/sound/101.wav"));
    ~QtSoundPlayer() override;
    void PlaySuccessSound() override;

private:
    QString source_;
    std::unique_ptr<QSoundEffect> effect_;
};

} // namespace vetorlan
