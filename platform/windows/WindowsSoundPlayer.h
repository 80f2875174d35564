#pragma once

#include "core/Sound.h"

#include <QByteArray>
#include <QString>

namespace vetorlan {

// Plays the success sound with PlaySound from the WAV resource's bytes in memory,
// asynchronously; without an audio device nothing is heard and nothing waits.
class WindowsSoundPlayer : public SoundPlayer {
public:
    explicit WindowsSoundPlayer(QString resource = QStringLiteral(":/sound/101.wav"));
    void PlaySuccessSound() override;

private:
    QString resource_;
    // Read at the first chime and kept: PlaySound reads the bytes while the sound plays.
    QByteArray bytes_;
};

} // namespace vetorlan
