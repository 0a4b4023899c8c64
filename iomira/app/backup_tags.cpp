#include "app/backup_tags.h"

#include <type_traits>

namespace iomira::backup {

namespace {

template <typename M> struct MemberOf;
template <typename C, typename F> struct MemberOf<F C::*> {
    using Owner = C;
    using Field = F;
};
template <auto Member> using OwnerOf = typename MemberOf<decltype(Member)>::Owner;
template <auto Member> using FieldOf = typename MemberOf<decltype(Member)>::Field;

ItemValue numberValue(int64_t number) {
    ItemValue value;
    value.number = number;
    return value;
}

ItemValue textValue(const QString& text) {
    ItemValue value;
    value.text = text;
    return value;
}

template <auto Member> struct Number {
    static ItemValue get(const OwnerOf<Member>& r, int) { return numberValue(r.*Member); }
    static void set(OwnerOf<Member>& r, int, const ItemValue& v) {
        r.*Member = static_cast<FieldOf<Member>>(v.number);
    }
};

template <auto Member> struct NumberElement {
    using Element = typename FieldOf<Member>::value_type;
    static ItemValue get(const OwnerOf<Member>& r, int e) { return numberValue((r.*Member)[e]); }
    static void set(OwnerOf<Member>& r, int e, const ItemValue& v) {
        (r.*Member)[e] = static_cast<Element>(v.number);
    }
};

template <auto Member> struct WholeText {
    static ItemValue get(const OwnerOf<Member>& r, int) { return textValue(r.*Member); }
    static void set(OwnerOf<Member>& r, int, const ItemValue& v) { r.*Member = v.text; }
};

template <auto Member> struct TextElement {
    static ItemValue get(const OwnerOf<Member>& r, int e) { return textValue((r.*Member)[e]); }
    static void set(OwnerOf<Member>& r, int e, const ItemValue& v) { (r.*Member)[e] = v.text; }
};

template <auto Member> struct Ports {
    using Element = typename FieldOf<Member>::value_type;
    static_assert(std::tuple_size_v<FieldOf<Member>> == kDigitalPorts);
    static ItemValue get(const OwnerOf<Member>& r, int) {
        ItemValue value;
        for (int n = 0; n < kDigitalPorts; ++n)
            value.ports[n] = (r.*Member)[n];
        return value;
    }
    static void set(OwnerOf<Member>& r, int, const ItemValue& v) {
        for (int n = 0; n < kDigitalPorts; ++n)
            (r.*Member)[n] = static_cast<Element>(v.ports[n]);
    }
};

// The host field holds at most 127 characters, whatever the file carries.
struct HostAddr {
    static ItemValue get(const CQUORVISData& r, int) { return textValue(r.HostAddr); }
    static void set(CQUORVISData& r, int, const ItemValue& v) { r.setHostAddr(v.text); }
};

// A switch the contents lack is not written; one that is read becomes present.
struct Switch {
    static ItemValue get(const BackupSwitches& s, int e) {
        ItemValue value = numberValue(s.values[e].value_or(0));
        value.present = s.values[e].has_value();
        return value;
    }
    static void set(BackupSwitches& s, int e, const ItemValue& v) {
        s.values[e] = static_cast<int32_t>(v.number);
    }
};

template <auto Member> ItemRule<OwnerOf<Member>> number(uint16_t tag, ItemEncoding encoding) {
    return {tag, encoding, 0, &Number<Member>::get, &Number<Member>::set};
}
template <auto Member> ItemRule<OwnerOf<Member>> text(uint16_t tag) {
    return {tag, ItemEncoding::Text, 0, &WholeText<Member>::get, &WholeText<Member>::set};
}
template <auto Member> ItemRule<OwnerOf<Member>> ports(uint16_t tag, ItemEncoding encoding) {
    return {tag, encoding, 0, &Ports<Member>::get, &Ports<Member>::set};
}
template <auto Member>
ItemRule<OwnerOf<Member>> numberAt(uint16_t tag, ItemEncoding encoding, int element) {
    return {tag, encoding, element, &NumberElement<Member>::get, &NumberElement<Member>::set};
}
template <auto Member> ItemRule<OwnerOf<Member>> textAt(uint16_t tag, int element) {
    return {tag, ItemEncoding::Text, element, &TextElement<Member>::get, &TextElement<Member>::set};
}
// One text item per digital port, tags counting up from `firstTag`.
template <auto Member>
void textPerPort(std::vector<ItemRule<OwnerOf<Member>>>& rules, uint16_t firstTag) {
    for (int n = 0; n < kDigitalPorts; ++n)
        rules.push_back(textAt<Member>(static_cast<uint16_t>(firstTag + n), n));
}

using enum ItemEncoding;
using Q = CQUORVISData;

std::vector<ItemRule<Q>> controllerRules() {
    std::vector<ItemRule<Q>> r{
        number<&Q::DeviceId>(4, Int),
        number<&Q::DeviceType>(301, Int),
        number<&Q::NumberOfPortInput>(69, Int),
        number<&Q::NumberOfPortOutput>(70, Int),
        number<&Q::IsServer>(6, Int),
        {7, Text, 0, &HostAddr::get, &HostAddr::set},
        number<&Q::HostPort>(8, Int),
        number<&Q::UnitId>(9, Int),
        number<&Q::InputAddr>(10, Int),
        number<&Q::OutputAddr>(11, Int),
        text<&Q::DeviceComment>(12),
    };
    textPerPort<&Q::DiComment>(r, 13);
    textPerPort<&Q::DoComment>(r, 21);
    r.insert(r.end(), {
                          number<&Q::ViewMode>(29, Int),
                          number<&Q::LastPosX>(30, Int),
                          number<&Q::LastPosY>(31, Int),
                          number<&Q::LastPosCX>(32, Int),
                          number<&Q::LastPosCY>(33, Int),
                          number<&Q::LastOpened>(34, Byte),
                          number<&Q::Minimized>(35, Byte),
                          number<&Q::AutomaticConnection>(36, Byte),
                          number<&Q::OutputPortControl>(37, Byte),
                          number<&Q::RootID>(38, Int),
                          number<&Q::Index>(39, Int),
                          number<&Q::LastPosXMin>(40, Int),
                          number<&Q::LastPosYMin>(41, Int),
                          number<&Q::LastPosCXMin>(42, Int),
                          number<&Q::LastPosCYMin>(43, Int),
                          number<&Q::Polling>(44, Byte),
                          number<&Q::PollingInput>(114, Byte),
                          number<&Q::UseWarningMsg>(45, Byte),
                          ports<&Q::UseWarningMsgDo>(65, BytePorts),
                          number<&Q::WarningMsgType>(46, Byte),
                          text<&Q::MsgAllOn>(47),
                          text<&Q::MsgAllOff>(48),
                      });
    textPerPort<&Q::DoMsgOnOn>(r, 49);
    textPerPort<&Q::DoMsgOnOff>(r, 57);
    r.insert(r.end(), {
                          ports<&Q::UsePulseDo>(66, BytePorts),
                          ports<&Q::DurationDo>(67, U16Ports),
                          ports<&Q::SignalLevelDo>(68, BytePorts),
                          number<&Q::UseLog>(71, Byte),
                          number<&Q::UseEmailNotification>(72, Byte),
                          ports<&Q::UseInputEmailNotification>(73, BytePorts),
                          ports<&Q::UseOutputEmailNotification>(80, BytePorts),
                          text<&Q::MailTo>(81),
                          number<&Q::MailAccountID>(82, Int),
                          text<&Q::MailSubject>(83),
                          text<&Q::MailContent>(84),
                      });
    textPerPort<&Q::UseMControlDo>(r, 85);
    r.push_back(ports<&Q::OnDiSoundId>(150, IntPorts));
    r.push_back(ports<&Q::OffDiSoundId>(151, IntPorts));
    // The analog settings go channel by channel, each channel's items together.
    for (int c = 0; c < kAnalogChannels; ++c) {
        const auto tag = [c](int first) { return static_cast<uint16_t>(first + c); };
        r.insert(r.end(), {
                              numberAt<&Q::AI>(tag(155), Byte, c),
                              textAt<&Q::AIName>(tag(159), c),
                              textAt<&Q::AIUnit>(tag(181), c),
                              textAt<&Q::AIMin>(tag(185), c),
                              textAt<&Q::AIMax>(tag(189), c),
                              numberAt<&Q::AIHeaderWidth>(tag(289), Int, c),
                              numberAt<&Q::AIBgColor>(tag(293), Int, c),
                              numberAt<&Q::AIFgColor>(tag(297), Int, c),
                          });
    }
    // Files of an earlier layout gave the port counts under these tags.
    ItemRule<Q> inputs = number<&Q::NumberOfPortInput>(5, Int);
    ItemRule<Q> outputs = number<&Q::NumberOfPortOutput>(2, Int);
    inputs.written = outputs.written = false;
    r.push_back(inputs);
    r.push_back(outputs);
    return r;
}

using S = CScheduleData;

std::vector<ItemRule<S>> scheduleRules(uint16_t idTag) {
    return {
        number<&S::ScheduleId>(idTag, Int), number<&S::FromAmPm>(116, Byte),
        number<&S::FromHour>(117, U16),     number<&S::FromMinute>(118, U16),
        number<&S::ToAmPm>(119, Byte),      number<&S::ToHour>(120, U16),
        number<&S::ToMinute>(121, U16),     number<&S::Sunday>(128, Byte),
        number<&S::Monday>(129, Byte),      number<&S::Tuesday>(130, Byte),
        number<&S::Wednesday>(131, Byte),   number<&S::Thursday>(132, Byte),
        number<&S::Friday>(133, Byte),      number<&S::Saturday>(134, Byte),
    };
}

std::vector<ItemRule<BackupSwitches>> switchRules() {
    static constexpr uint16_t kTags[BACKUP_SWITCH_COUNT] = {136, 137, 144, 145, 146, 147, 148, 149};
    std::vector<ItemRule<BackupSwitches>> r;
    for (int n = 0; n < BACKUP_SWITCH_COUNT; ++n)
        r.push_back({kTags[n], Byte, n, &Switch::get, &Switch::set});
    return r;
}

} // namespace

const TagTable<CROOTData>& groupTags() {
    static const TagTable<CROOTData> table({
        number<&CROOTData::RootID>(1, Int),
        number<&CROOTData::Index>(2, Int),
        text<&CROOTData::RootName>(3),
    });
    return table;
}

const TagTable<CQUORVISData>& controllerTags() {
    static const TagTable<CQUORVISData> table(controllerRules());
    return table;
}

const TagTable<CMailAccount>& mailAccountTags() {
    using A = CMailAccount;
    static const TagTable<A> table({
        number<&A::MailAccountId>(99, Int),
        text<&A::AccountID>(100),
        text<&A::AccountMail>(101),
        number<&A::AuthType>(102, Int),
        text<&A::MailAccountComment>(103),
        text<&A::MailAccountName>(104),
        text<&A::MailServerAddress>(105),
        text<&A::MailServerPort>(112),
        text<&A::Password>(113),
    });
    return table;
}

const TagTable<CScheduleData>& emailScheduleTags() {
    static const TagTable<CScheduleData> table(scheduleRules(115));
    return table;
}

const TagTable<CScheduleData>& messageScheduleTags() {
    static const TagTable<CScheduleData> table(scheduleRules(135));
    return table;
}

const TagTable<BackupSwitches>& switchTags() {
    static const TagTable<BackupSwitches> table(switchRules());
    return table;
}

const TagTable<CSound>& soundTags() {
    static const TagTable<CSound> table({
        number<&CSound::SoundId>(152, Int),
        text<&CSound::SoundName>(153),
        text<&CSound::SoundPath>(154),
    });
    return table;
}

} // namespace iomira::backup
