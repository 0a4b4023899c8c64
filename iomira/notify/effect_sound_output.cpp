#include "effect_sound_output.h"

#include <QSoundEffect>
#include <QUrl>

namespace iomira {

EffectSoundOutput::EffectSoundOutput() = default;
EffectSoundOutput::~EffectSoundOutput() = default;

void EffectSoundOutput::play(const QString& path) {
    if (!effect_) effect_ = std::make_unique<QSoundEffect>();
    const QUrl source = path.startsWith(QLatin1Char(':'))
                            ? QUrl(QStringLiteral("qrc") + path)
                            : QUrl::fromLocalFile(path);
    effect_->stop();
    effect_->setSource(source);
    effect_->setLoopCount(1);
    effect_->play(); // starts once the new source has loaded
}

} // namespace iomira
