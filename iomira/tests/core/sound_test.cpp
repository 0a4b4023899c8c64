#include "common/test_support.h"
#include "core/quorvis_data.h"
#include "core/siren_wav.h"
#include "core/sound_library.h"
#include "core/sound_output.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class RecordingOutput : public SoundOutput {
  public:
    void play(const QString& path) override { played << path; }
    QStringList played;
};

class SoundTest : public ::testing::Test {
  protected:
    SoundTest() {
        setSoundOutput(&output);
        test::writeFile(dir.filePath("bell.wav"), makeSirenWav());
        library.installBuiltIn(dir.path());
        library.insert({500, "bell.wav", dir.filePath("bell.wav")});
        library.insert({501, "gone.wav", dir.filePath("gone.wav")});
        controller.OnDiSoundId[0] = 500;
        controller.OffDiSoundId[0] = 501;
        controller.OnDiSoundId[3] = 999; // deleted from the library since
    }
    ~SoundTest() override { setSoundOutput(nullptr); }

    QTemporaryDir dir;
    RecordingOutput output;
    SoundLibrary library;
    CQUORVISData controller;
};

TEST_F(SoundTest, InputChangesPlayTheirOwnSoundOrNothing) {
    PlayInputSound(library, controller, 0, 1);
    PlayInputSound(library, controller, 0, 0); // a missing file plays the default siren
    PlayInputSound(library, controller, 3, 1); // id not in the library
    PlayInputSound(library, controller, 3, 0); // id 0
    PlayInputSound(library, controller, 8, 1); // no such input
    EXPECT_EQ(output.played, (QStringList{dir.filePath("bell.wav"), defaultSoundPath()}));
}

TEST_F(SoundTest, TheDefaultSoundIsACompiledInWaveFile) {
    QFile resource(defaultSoundPath());
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    EXPECT_EQ(resource.readAll(), makeSirenWav());
}

TEST(SirenWave, IsAValidPcmWaveOfAboutASecondAndAHalf) {
    const QByteArray wav = makeSirenWav();
    auto le32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
    auto le16 = [&](int at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
    ASSERT_GT(wav.size(), 44);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(le32(4), quint32(wav.size() - 8));
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(le16(20), 1); // PCM
    EXPECT_EQ(le16(22), 1); // mono
    EXPECT_EQ(le32(24), quint32(kSirenSampleRate));
    EXPECT_EQ(le16(34), 16);
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(le32(40), quint32(wav.size() - 44));
    const double seconds = double(le32(40)) / 2 / kSirenSampleRate;
    EXPECT_NEAR(seconds, 1.6, 0.01);
    qint16 peak = 0;
    for (int at = 44; at < wav.size(); at += 2) {
        peak = std::max<qint16>(peak, qFromLittleEndian<qint16>(wav.constData() + at));
    }
    EXPECT_GT(peak, 15000); // audible, not silence
}

TEST(SoundLibraryStore, AddWritesTheKeyAndRemoveNeedsTheKeyGone) {
    test::TempStore t;
    SoundLibrary library;
    library.installBuiltIn("/srv/app");
    const int32_t id = NewSoundId(library);
    ASSERT_GE(id, 2);
    ASSERT_TRUE(library.add(*t.store, {id, "Horn.wav", "/srv/Horn.wav"}));
    EXPECT_EQ(
        test::runSqlite(t.path, "SELECT name, quote(data) FROM vals ORDER BY rowid;\n"),
        QStringLiteral("SoundId|%1\nSoundName|'Horn.wav'\nSoundPath|'/srv/Horn.wav'\n").arg(id));
    ASSERT_TRUE(library.remove(*t.store, id));
    EXPECT_EQ(library.find(id), nullptr);
    EXPECT_EQ(test::runSqlite(t.path, "SELECT count(*) FROM keys;\n"), "0\n");
    // The built-in siren has no key: deleting it lasts until the next start.
    ASSERT_TRUE(library.remove(*t.store, kBuiltInSoundId));
    EXPECT_EQ(library.size(), 0);
}

TEST(SoundIds, AreNeverZeroAndNeverReused) {
    SoundLibrary library;
    for (int i = 0; i < 300; ++i) {
        const int32_t id = NewSoundId(library);
        ASSERT_GE(id, 1);
        ASSERT_LE(id, 32767);
        ASSERT_EQ(library.find(id), nullptr);
        library.insert({id, "s", "p"});
    }
}

} // namespace
} // namespace iomira
