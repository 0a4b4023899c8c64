#pragma once

#include <QString>

#include <span>

namespace iomira {

class CQUORVISData;

// Model family codes of DeviceType; Corvel's rlx8xx_read_all takes the same codes.
enum DeviceFamily {
    FAMILY_GENERIC = 0,
    FAMILY_RLX810 = 1,
    FAMILY_RLX820 = 2,
    FAMILY_RLX830 = 3,
    FAMILY_RLX850 = 4,
    FAMILY_RLX840 = 5,
};

inline constexpr int kRlxUnitId = 255;
inline constexpr int kRlx820OutputAddr = 240;
inline constexpr int kRlx830ViewMode = 2; // output ports only

// Which stored field groups a family carries; the others keep their created values.
bool usesDigitalPorts(int deviceType);  // port counts, names, warnings, pulses, mails, sounds
bool usesOutputPolling(int deviceType); // Polling, OutputPortControl
bool usesCounterFlags(int deviceType);  // Di%dState, Di%dCounter
bool usesAnalog(int deviceType);        // AI%d .. AIHeader2Width
bool isKnownFamily(int deviceType);

// The model shown for a controller: a product name, "UNKNOWN" for an unknown family, or an
// empty text for a generic controller whose port counts match no product.
QString modelText(int deviceType, int inputs, int outputs);
QString modelText(const CQUORVISData& record);

// The products offered when a controller is registered by hand, in the order offered.
struct ProductChoice {
    const char* name;
    int deviceType;
    int inputs;
    int outputs;
};
std::span<const ProductChoice> productChoices();

// Sets family, port counts and the family's fixed values (unit id, output base, view mode).
void applyProductChoice(CQUORVISData& record, const ProductChoice& choice);
// An RLX-840 found by a search names its first channel after the temperature it measures.
void applyTemperatureChannel(CQUORVISData& record);

// The product of a model name as a controller reports it ("TKA-35P", "TKA-21", "RLX-840"), or
// none.
const ProductChoice* productForModel(const QString& model);
// The record a controller of that model starts as: its product's family, ports and fixed values,
// unit id 1 for a generic controller, the temperature channel of an RLX-840; family -1 for a
// model no product names.
CQUORVISData recordForModel(const QString& model);

} // namespace iomira
