#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace iomira {

class ControllerDirectory;
class CQUORVISData;
class MonitorLog;
class UserPrompts;

// One output of the selected set.
struct MirrorMember {
    int deviceId;
    int port;
    int outputs; // the controller's NumberOfPortOutput when the set was selected
};

// The outputs chosen for a set in the configuration dialog, per listed controller.
using MirrorChoice = std::map<int, std::array<bool, 8>>;

// The multiple-port control: the sets found in the controller records, the members of the
// selected one, switching them all, and the window's running log of what was sent and what
// came back. Record changes go through the controller directory (saved first).
class OutputMirror {
  public:
    // The request tags of the window's own pulses, coil writes and follow-up reads.
    static constexpr int kPulseTag = '1';
    static constexpr int kCoilTag = '2';
    static constexpr int kReadTag = '3';

    OutputMirror(ControllerDirectory& directory, MonitorLog* log, UserPrompts& prompts);

    // Every set name held by an output below its controller's output count, sorted.
    QStringList sets() const;
    void select(const QString& set);
    const QString& selected() const { return selected_; }
    const std::vector<MirrorMember>& members() const { return members_; }

    // Removes the set from every output; false when a record could not be saved.
    bool deleteSet(const QString& set);
    // The configuration dialog's Save: checks the entry, renames the old set away first, then
    // gives the name to the chosen outputs of the listed controllers and takes it from their
    // other outputs. `problem` is what to tell about the entry; a refused store write has
    // been told by the directory.
    struct SaveOutcome {
        bool saved = false;
        QString problem;
    };
    SaveOutcome saveSet(const QString& oldName, const QString& name, const MirrorChoice& chosen);

    // ON (true) or OFF for every member, in order, asking where the controller asks.
    void switchMembers(bool on);
    void dataArrived(int deviceId, int code);
    void connectionChanged(int deviceId, intptr_t lparam);
    // A member's pulse has run its time: its outputs are read back.
    void pulseTimeUp(int memberIndex);

    // The window's log list, the rows to refresh and the pulse timers it runs.
    std::function<void(const QString& row)> addRow;
    std::function<void(int deviceId)> refreshRows;
    std::function<void(int memberIndex, int milliseconds)> startPulseTimer;

    // A row of the window's log: the time, a tab, then controller, port and message, and the
    // connection state.
    QString logRow(const CQUORVISData& c, int port, const QString& message) const;

  private:
    void switchMember(const MirrorMember& member, bool on);
    void readBack(const CQUORVISData& c);
    void row(const CQUORVISData& c, int port, int textId);
    bool editOutputs(int deviceId, const std::function<void(CQUORVISData&)>& change);

    ControllerDirectory& directory_;
    MonitorLog* log_;
    UserPrompts& prompts_;
    QString selected_;
    // Rebuilt on selection; the pulse timers run on the same thread and check their index.
    std::vector<MirrorMember> members_;
};

} // namespace iomira
