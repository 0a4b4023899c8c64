#include "notify/alarm_rules_sound.h"

#include "core/controller_table.h"
#include "core/device_family.h"
#include "core/random_id.h"
#include "core/sound_library.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <QFileInfo>

#include <algorithm>
#include <set>

namespace iomira {

namespace {

int inputCount(const CQUORVISData& controller) {
    return std::clamp(controller.NumberOfPortInput, 0, kDigitalPorts);
}

std::array<int, kDigitalPorts>& soundIds(CQUORVISData& c, SoundEdge edge) {
    return edge == SOUND_ON ? c.OnDiSoundId : c.OffDiSoundId;
}

const std::array<int, kDigitalPorts>& soundIds(const CQUORVISData& c, SoundEdge edge) {
    return edge == SOUND_ON ? c.OnDiSoundId : c.OffDiSoundId;
}

} // namespace

bool soundNameLess(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    return QStringView(a).left(n).compare(QStringView(b).left(n), Qt::CaseSensitive) < 0;
}

std::vector<CSound> soundsByName(const SoundLibrary& library) {
    std::vector<CSound> sounds;
    library.forEach([&](const CSound& s) { sounds.push_back(s); });
    std::stable_sort(sounds.begin(), sounds.end(), [](const CSound& a, const CSound& b) {
        return soundNameLess(a.SoundName, b.SoundName);
    });
    return sounds;
}

std::vector<SoundAssignmentRow> soundAssignmentRows(const CQUORVISData& controller,
                                                    const SoundLibrary& library, SoundEdge edge) {
    std::vector<SoundAssignmentRow> rows;
    const auto& ids = soundIds(controller, edge);
    for (int input = 0; input < inputCount(controller); ++input) {
        if (ids[input] == 0) continue;
        const CSound* sound = library.find(ids[input]);
        rows.push_back({input, controller.DiComment[input],
                        sound ? sound->SoundName : loadString(TEXT_SOUND_FILE_NOT_FOUND)});
    }
    return rows;
}

void setInputSounds(CQUORVISData& controller, const std::vector<int>& inputs, SoundEdge edge,
                    int32_t soundId) {
    auto& ids = soundIds(controller, edge);
    for (int input : inputs) {
        if (input >= 0 && input < inputCount(controller)) ids[input] = soundId;
    }
}

bool offersSoundDialog(const CQUORVISData& controller) {
    return controller.DeviceType == FAMILY_GENERIC || controller.DeviceType == FAMILY_RLX820 ||
           controller.DeviceType == FAMILY_RLX850;
}

int soundUseCount(const ControllerTable& controllers, int32_t soundId) {
    int count = 0;
    controllers.forEach([&](const CQUORVISData& c) {
        for (int input = 0; input < inputCount(c); ++input) {
            count += (c.OnDiSoundId[input] == soundId) + (c.OffDiSoundId[input] == soundId);
        }
    });
    return count;
}

int32_t newUnreferencedSoundId(const SoundLibrary& library, const ControllerTable& controllers) {
    // Every slot counts here, also those beyond the port count: the count can change later.
    std::set<int> referenced;
    controllers.forEach([&](const CQUORVISData& c) {
        referenced.insert(c.OnDiSoundId.begin(), c.OnDiSoundId.end());
        referenced.insert(c.OffDiSoundId.begin(), c.OffDiSoundId.end());
    });
    return drawFreeId(
        1, 32767, [&](int id) { return library.find(id) != nullptr || referenced.count(id) != 0; });
}

CSound soundForFile(int32_t soundId, const QString& path) {
    return {soundId, QFileInfo(path).fileName(), path};
}

QString deleteSoundQuestion(const CSound& sound, int useCount) {
    QString question =
        loadString(TEXT_DELETE_SOUND_QUESTION).replace(QLatin1String("%s"), sound.SoundName);
    if (useCount > 0) {
        question +=
            QLatin1Char('\n') +
            loadString(TEXT_SOUND_IN_USE).replace(QLatin1String("%d"), QString::number(useCount));
    }
    return question;
}

} // namespace iomira
