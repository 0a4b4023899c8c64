#pragma once

#include <QString>

#include <vector>

namespace iomira {

class CQUORVISData;

// Images of the device tree, by index.
enum TreeIcon {
    ICON_CONNECTING = 0,
    ICON_CONNECTED = 1,
    ICON_ERROR = 2,
    ICON_INFORMATION = 3,
    ICON_GROUP = 4,
    ICON_CLOSED_MANUAL = 5,
    ICON_CLOSED_AUTOMATIC = 6,
    ICON_NOT_RESPONDING = 7,
    kTreeIconCount = 8,
};

// The information lines under a controller, in the order they are shown.
enum InfoKind {
    INFO_MODE = 1,
    INFO_HOST = 2,
    INFO_PORT = 3,
    INFO_PRODUCT = 4,
    INFO_UNIT_ID = 5,
    INFO_INPUT_ADDR = 6,
    INFO_OUTPUT_ADDR = 7,
    INFO_AUTO_CONNECT = 8,
    INFO_PROHIBIT_OUTPUT = 9,
    INFO_POLL_OUTPUTS = 10,
    INFO_POLL_INPUTS = 11,
};

struct InfoLine {
    int kind;
    QString text;
};

// The lines a controller shows, with their texts in the current language.
std::vector<InfoLine> infoLines(const CQUORVISData& controller);
bool showsInfoLine(const CQUORVISData& controller, int kind);
QString infoLineText(const CQUORVISData& controller, int kind);
// The label a line's text starts with ("Host Port"); empty for the mode line.
QString infoLineLabel(int kind);
// The text after " : " that an edit field starts with.
QString infoLineValue(const CQUORVISData& controller, int kind);

// The icon for a connection state; a notification that carried an error always shows it.
int controllerIcon(int connectionState, int automaticConnection, bool notifiedError = false,
                   bool notResponding = false);

// "Iomira 2.1C (January 23, 2024)", with " - " and the shown group's name while one is shown.
QString mainWindowTitle(const QString& shownGroupName, bool groupShown);

} // namespace iomira
