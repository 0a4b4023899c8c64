#include "app/effect_sound_output.h"

#include <QCoreApplication>
#include <QSoundEffect>
#include <QUrl>

namespace iomira {

void EffectSoundOutput::play(const QString& path) {
    // Parented to the application so it is gone before the audio backend shuts down.
    if (!effect_) effect_ = new QSoundEffect(QCoreApplication::instance());
    const QUrl source = path.startsWith(QLatin1Char(':')) ? QUrl(QStringLiteral("qrc") + path)
                                                          : QUrl::fromLocalFile(path);
    effect_->stop();
    effect_->setSource(source);
    effect_->setLoopCount(1);
    effect_->play(); // starts once the new source has loaded
}

} // namespace iomira
