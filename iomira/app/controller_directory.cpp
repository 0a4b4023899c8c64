#include "app/controller_directory.h"

#include "app/group_arranger.h"
#include "app/tree_edit_rules.h"
#include "app/tree_texts.h"
#include "core/controller_keys.h"
#include "core/group_store.h"
#include "core/object_loader.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "monitor/corvel_registration.h"
#include "monitor/shared_controllers.h"

namespace iomira {

namespace {

QString updateErrorText(int result) {
    switch (result) {
    case CORVEL_WRONG_STATE:
        return loadString(TEXT_UPDATE_ERROR);
    case CORVEL_SOCKET_ERROR:
        return loadString(TEXT_NOT_CLOSED);
    case CORVEL_UNKNOWN_DEVICE:
        return loadString(TEXT_NO_INFORMATION);
    default:
        return loadString(TEXT_UNKNOWN_ERROR);
    }
}

bool connectionClosed(int deviceId) {
    const int state = get_tcp_connection_state(deviceId);
    return state == TCP_CLOSED || state == TCP_ERROR;
}

// A restored or imported record as a new controller: a fresh id, a server without host, the
// inputs' states and counters as a new record has them.
std::unique_ptr<CQUORVISData> copiedRecord(const CQUORVISData& source) {
    auto record = std::make_unique<CQUORVISData>();
    CQUORVISData::Copy(*record, source);
    if (record->IsServer != 0) record->HostAddr.clear();
    record->LastPosX = source.LastPosX;
    record->LastPosY = source.LastPosY;
    record->LastPosCX = source.LastPosCX;
    record->LastPosCY = source.LastPosCY;
    record->LastOpened = source.LastOpened;
    record->Minimized = source.Minimized;
    record->LastPosXMin = source.LastPosXMin;
    record->LastPosYMin = source.LastPosYMin;
    record->LastPosCXMin = source.LastPosCXMin;
    record->LastPosCYMin = source.LastPosCYMin;
    const CQUORVISData fresh;
    record->DiState = fresh.DiState;
    record->DiCounter = fresh.DiCounter;
    return record;
}

} // namespace

ControllerDirectory::ControllerDirectory(Store& store, UserPrompts& prompts, QObject* parent)
    : QObject(parent), store_(store), prompts_(prompts), monitoring_(prompts) {
    groups_.setSaver([this](const CROOTData& g) { saveGroup(store_, g); });
}

bool ControllerDirectory::loadGroups() {
    return iomira::loadGroups(store_, groups_);
}

void ControllerDirectory::setControllers(SharedControllers& controllers, MonitorLog& log,
                                         corvel_window* window) {
    controllers_ = &controllers;
    window_ = window;
    monitoring_.start(controllers, log);
}

void ControllerDirectory::setControllersOnly(SharedControllers& controllers) {
    controllers_ = &controllers;
}

CQUORVISData* ControllerDirectory::find(int deviceId) const {
    return controllers_ ? controllers_->table().find(deviceId) : nullptr;
}

GroupArranger ControllerDirectory::arranger() {
    GroupArranger::Callbacks callbacks;
    callbacks.groupAdded = [this](const CROOTData& group) {
        emit groupAdded(group.RootID);
        emit groupsChanged();
    };
    callbacks.showError = [this](const QString& text) { prompts_.error(text); };
    return GroupArranger(controllers_->table(), groups_, store_, callbacks);
}

ControllerDirectory::LastShown ControllerDirectory::fillAtStartup() {
    LastShown shown;
    // The polling thread starts after the fill, so the split needs no table lock.
    GroupArranger::Callbacks callbacks;
    callbacks.groupAdded = [this](const CROOTData& group) { emit groupAdded(group.RootID); };
    callbacks.showError = [this](const QString& text) { prompts_.error(text); };
    callbacks.controllerVisited = [&](CQUORVISData& c) {
        if (c.AutomaticConnection == 1) monitoring_.connections()->connectAtStartup(c);
        if (c.LastOpened == 1) shown = {c.RootID, c.DeviceId};
        emit controllerAdded(c.DeviceId);
    };
    GroupArranger(controllers_->table(), groups_, store_, callbacks).splitAtStartup();
    emit groupsChanged();
    return shown;
}

int ControllerDirectory::addGroupByName(const QString& name) {
    return arranger().addGroupByName(name);
}

bool ControllerDirectory::appendGroup(int rootId, const QString& name) {
    auto group = std::make_unique<CROOTData>(rootId, name, groups_.size());
    if (!saveGroup(store_, *group)) {
        notSaved();
        return false;
    }
    groups_.insert(std::move(group));
    emit groupAdded(rootId);
    emit groupsChanged();
    return true;
}

int ControllerDirectory::addGroup(const QString& name) {
    const int id = groups_.NewGroupId();
    if (id < 0) {
        prompts_.error(groupIdsExhaustedText());
        return -1;
    }
    auto group = std::make_unique<CROOTData>(id, name, groups_.size());
    if (!saveGroup(store_, *group)) {
        notSaved();
        return -1;
    }
    groups_.insert(std::move(group));
    return id;
}

bool ControllerDirectory::renameGroup(int rootId, const QString& name) {
    CROOTData* group = groups_.find(rootId);
    if (!group) return false;
    const EditOutcome check = checkGroupName(name);
    if (!check.accepted) {
        prompts_.error(check.error);
        return false;
    }
    CROOTData renamed(rootId, name, group->Index);
    if (!saveGroup(store_, renamed)) {
        notSaved();
        return false;
    }
    group->RootName = name;
    emit groupRenamed(rootId);
    emit groupsChanged();
    return true;
}

ControllerDirectory::TableAdded
ControllerDirectory::addTable(const std::vector<CQUORVISData>& records,
                              const TableProgress& progress) {
    TableAdded result;
    const int total = static_cast<int>(records.size());
    for (int i = 0; i < total; ++i) {
        if (const CQUORVISData* added = addController(records[i])) {
            ++result.added;
            if (added->LastOpened == 1) result.lastOpened = added->DeviceId;
        }
        if (progress) progress(i + 1, total);
    }
    return result;
}

CQUORVISData* ControllerDirectory::addController(const CQUORVISData& source) {
    const CROOTData* named = groups_.find(source.RootID);
    const int rootId = arranger().placeByGroupName(named ? named->RootName : QString());
    if (rootId < 0) return nullptr;
    std::unique_ptr<CQUORVISData> record = copiedRecord(source);
    record->RootID = rootId;
    return registerController(std::move(record));
}

int ControllerDirectory::addNewControllers(const std::vector<CQUORVISData>& accepted) {
    int last = -1;
    for (const CQUORVISData& source : accepted) {
        auto record = std::make_unique<CQUORVISData>();
        CQUORVISData::Copy(*record, source);
        if (const CQUORVISData* added = registerController(std::move(record)))
            last = added->DeviceId;
    }
    return last;
}

CQUORVISData* ControllerDirectory::registerController(std::unique_ptr<CQUORVISData> record) {
    record->DeviceId = controllers_->table().NewDeviceId();
    record->Index = controllers_->table().CountInGroup(record->RootID);
    const int result = registerInCorvel(window_, *record);
    if (result != CORVEL_OK) {
        prompts_.error(registrationErrorText(result));
        return nullptr;
    }
    // Stored first: a record the store refused must not stay in Corvel or the table.
    if (!saveController(store_, *record)) {
        removeFromCorvel(record->DeviceId);
        notSaved();
        return nullptr;
    }
    CQUORVISData* added = record.get();
    {
        auto guard = controllers_->lock();
        controllers_->table().insert(std::move(record));
    }
    if (added->AutomaticConnection == 1 && monitoring_.started())
        monitoring_.connections()->connectAtStartup(*added);
    emit controllerAdded(added->DeviceId);
    return added;
}

bool ControllerDirectory::deleteController(int deviceId) {
    const int result = removeFromCorvel(deviceId);
    if (result != CORVEL_OK) {
        prompts_.error(result == CORVEL_UNKNOWN_DEVICE ? loadString(TEXT_NO_INFORMATION)
                                                       : loadString(TEXT_UNKNOWN_ERROR));
        return false;
    }
    emit controllerRemoved(deviceId);
    iomira::deleteController(store_, deviceId);
    // The polling thread is not inside this record while the lock is held; afterwards the
    // record is gone from the table it walks.
    auto guard = controllers_->lock();
    controllers_->table().RemoveController(deviceId, true);
    return true;
}

bool ControllerDirectory::deleteGroup(int rootId) {
    const CROOTData* group = groups_.find(rootId);
    if (!group || group->Index < 1) return false;
    const int count = controllers_->table().CountInGroup(rootId);
    const bool yes = count > 0 ? prompts_.ask(loadString(TEXT_DELETE_GROUP_QUESTION), true)
                               : prompts_.ask(loadString(TEXT_DELETE_QUESTION));
    return yes && removeGroup(rootId);
}

bool ControllerDirectory::removeGroup(int rootId) {
    // A controller that cannot be deleted keeps its group, or it would be left without one.
    std::vector<int> members;
    controllers_->table().forEach([&](const CQUORVISData& c) {
        if (c.RootID == rootId) members.push_back(c.DeviceId);
    });
    for (int id : members) {
        if (!deleteController(id)) return false;
    }
    iomira::deleteGroup(store_, rootId);
    groups_.RemoveGroup(rootId);
    emit groupRemoved(rootId);
    emit groupsChanged();
    return true;
}

bool ControllerDirectory::moveController(int deviceId, int rootId) {
    CQUORVISData* c = find(deviceId);
    if (!c || !groups_.find(c->RootID)) {
        prompts_.error(loadString(TEXT_MOVE_NO_GROUP));
        return false;
    }
    const int fromRoot = c->RootID;
    const int fromIndex = c->Index;
    if (controllers_->table().CountInGroup(fromRoot) == 0) {
        prompts_.error(loadString(TEXT_MOVE_NO_CHILDREN));
        return false;
    }
    if (controllers_->table().FindInGroup(fromRoot, fromIndex) != c) {
        prompts_.error(loadString(TEXT_MOVE_NO_ITEM));
        return false;
    }
    if (!groups_.find(rootId)) {
        prompts_.error(loadString(TEXT_GROUP_NOT_FOUND));
        return false;
    }
    const int toIndex = controllers_->table().CountInGroup(rootId);
    if (!saveThenChange(deviceId, [&](CQUORVISData& record) {
            record.RootID = rootId;
            record.Index = toIndex;
        }))
        return false;
    {
        auto guard = controllers_->lock();
        controllers_->table().CloseGroupGap(fromRoot, fromIndex);
    }
    emit controllerMoved(deviceId, fromRoot, rootId);
    return true;
}

bool ControllerDirectory::editController(int deviceId, int kind, const QString& text) {
    CQUORVISData* c = find(deviceId);
    if (!c) return false;
    // The connection may have come up while the field was open.
    if (kind != 0 && needsClosedConnection(kind) &&
        !connectionAllowsEdit(get_tcp_connection_state(deviceId))) {
        prompts_.error(loadString(TEXT_CLOSE_CONNECTION_FIRST));
        return false;
    }
    const CQUORVISData before = *c;
    EditOutcome outcome;
    controllers_->edit(deviceId, [&](CQUORVISData& record) {
        outcome =
            kind == 0 ? applyDescriptionEdit(record, text) : applyInfoEdit(record, kind, text);
    });
    if (!outcome.accepted) {
        if (!outcome.error.isEmpty()) prompts_.error(outcome.error);
        return false;
    }
    return applyControllerChange(deviceId, before);
}

// Connection settings reach Corvel only while it is closed; a refused update or save puts
// the record back as it was, so memory, store and Corvel keep agreeing.
bool ControllerDirectory::applyControllerChange(int deviceId, const CQUORVISData& before) {
    return commitChange(deviceId, before, connectionClosed(deviceId));
}

bool ControllerDirectory::commitChange(int deviceId, const CQUORVISData& before,
                                       bool updateCorvel) {
    CQUORVISData* c = find(deviceId);
    if (!c) return false;
    if (updateCorvel) {
        const int result = updateInCorvel(*c);
        if (result != CORVEL_OK) {
            controllers_->edit(deviceId, [&](CQUORVISData& record) { record = before; });
            prompts_.error(updateErrorText(result));
            return false;
        }
    }
    if (!saveController(store_, *c)) {
        controllers_->edit(deviceId, [&](CQUORVISData& record) { record = before; });
        if (updateCorvel) updateInCorvel(before);
        notSaved();
        return false;
    }
    if (updateCorvel) emit connectionSettingsApplied(deviceId);
    emit controllerChanged(deviceId);
    return true;
}

bool ControllerDirectory::saveThenChange(int deviceId,
                                         const std::function<void(CQUORVISData&)>& change) {
    CQUORVISData* c = find(deviceId);
    if (!c) return false;
    CQUORVISData changed = *c;
    change(changed);
    if (!saveController(store_, changed)) {
        notSaved();
        return false;
    }
    controllers_->edit(deviceId, [&](CQUORVISData& record) { record = changed; });
    return true;
}

bool ControllerDirectory::modifyController(int deviceId, const CQUORVISData& edited,
                                           bool portsChanged) {
    CQUORVISData* c = find(deviceId);
    if (!c) return false;
    const CQUORVISData before = *c;
    controllers_->edit(deviceId, [&](CQUORVISData& record) {
        record = edited;
        record.DeviceId = deviceId;
        // The group changes through the move below, which keeps both groups dense.
        record.RootID = before.RootID;
        record.Index = before.Index;
    });
    // The dialog is offered for closed connections only; Corvel refuses any other.
    if (!commitChange(deviceId, before, true)) return false;
    if (portsChanged) emit controllerPortsChanged(deviceId);
    if (edited.RootID != before.RootID) return moveController(deviceId, edited.RootID);
    return true;
}

void ControllerDirectory::notSaved() {
    prompts_.error(loadString(TEXT_NOT_SAVED).replace(QLatin1String("%s"), store_.lastError()));
}

} // namespace iomira
