#pragma once

#include <QString>
#include <QStringList>

namespace iomira {

class CQUORVISData;

// The characters a display minimum or maximum may hold.
inline constexpr char kAnalogNumberCharacters[] = "0123456789.-";

bool isAnalogNumberText(const QString& text);

// The units offered for a channel; a stored unit the list lacks is added at its end.
QStringList analogUnitChoices(const QString& storedUnit);

// The texts of one analog channel as its settings group edits them.
struct AnalogChannelTexts {
    QString name;
    QString min;
    QString max;
    QString unit;
};

AnalogChannelTexts analogChannelTexts(const CQUORVISData& record, int channel);
// Stores the texts; the unit only where the group has a unit field.
void applyAnalogChannel(CQUORVISData& record, int channel, const AnalogChannelTexts& texts,
                        bool withUnit);

// An RLX-810 with no analog input shown has nothing to display: the text of the refusal, or an
// empty text when the settings may be kept.
QString rlx810Problem(const CQUORVISData& record);

} // namespace iomira
