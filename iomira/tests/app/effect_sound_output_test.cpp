#include "app/effect_sound_output.h"
#include "common/test_support.h"
#include "core/sound_output.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSoundEffect>
#include <QTimer>

#include <gtest/gtest.h>

namespace iomira {
namespace {

// Waits (bounded) until the effect has loaded its source or given up on it.
QSoundEffect::Status settle(QSoundEffect* effect) {
    QEventLoop loop;
    QObject::connect(effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (effect->status() == QSoundEffect::Ready || effect->status() == QSoundEffect::Error) {
            loop.quit();
        }
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (effect->status() == QSoundEffect::Loading || effect->status() == QSoundEffect::Null) {
        loop.exec();
    }
    return effect->status();
}

TEST(EffectSoundOutput, PlaysTheCompiledInSirenThroughQtMultimedia) {
    // No audio device is needed: the effect still decodes the file and reports it ready.
    EffectSoundOutput output;
    output.play(defaultSoundPath());
    auto* effect = QCoreApplication::instance()->findChild<QSoundEffect*>();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->source(), QUrl("qrc:/sounds/Siren.wav"));
    EXPECT_EQ(settle(effect), QSoundEffect::Ready);

    // A second sound replaces the first on the same effect.
    QTemporaryDir dir;
    QFile::copy(defaultSoundPath(), dir.filePath("copy.wav"));
    output.play(dir.filePath("copy.wav"));
    EXPECT_EQ(QCoreApplication::instance()->findChildren<QSoundEffect*>().size(), 1);
    EXPECT_EQ(effect->source(), QUrl::fromLocalFile(dir.filePath("copy.wav")));
    EXPECT_EQ(settle(effect), QSoundEffect::Ready);
    delete effect;
}

} // namespace
} // namespace iomira
