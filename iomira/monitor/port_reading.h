#pragma once

#include "monitor/lamp_image.h"

#include <QString>

#include <cstdint>

namespace iomira {

class CQUORVISData;

// What a controller's lamps can say about their ports while no answer comes: the digital
// values of the last answers are kept with their time, and a lamp whose value is not known
// says so in its picture and its tooltip.

// Keeps the digital values of a data notification (`code`, an MB_ answer code); Corvel's
// received values are read for the ports the answer carried.
void recordPortReading(CQUORVISData& controller, intptr_t code);

// True while the lamps cannot show what the ports are: the controller is not connected (its
// values are gone with the connection) or it stopped answering.
bool portsUnknown(int connectionState, bool notResponding);

// The lamp's picture with the unknown overlay when its value is not known.
LampImage withKnowledge(LampImage image, bool unknown);

// The tooltip line of an unknown lamp (`kind` CORVEL_KIND_INPUT or CORVEL_KIND_OUTPUT): its
// last value and when it was read, or that none was read.
QString lastReadingText(const CQUORVISData& controller, int kind, int port);

// `partsTip`, the tooltip the window gives the lamp anyway, followed by the reading line when
// the value is unknown.
QString lampTooltip(const QString& partsTip, const CQUORVISData& controller, int kind, int port,
                    bool unknown);

} // namespace iomira
