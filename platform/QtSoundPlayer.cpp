#include "platform/QtSoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>

namespace vetorlan {

QtSoundPlayer::QtSoundPlayer(QString source) : source_(std::move(source)) {}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::PlaySuccessSound() {
    if (!effect_) {
        effect_ = std::make_unique<QSoundEffect>();
        effect_->setSource(QUrl(source_));
    }
    // play() returns at once; while the file is still loading it starts when ready.
    effect_->stop();
    effect_->play();
}

} // namespace vetorlan
