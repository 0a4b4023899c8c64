#include "app/controller_form.h"

#include "core/device_family.h"
#include "core/string_table.h"
#include "core/texts.h"

namespace iomira {

namespace {

const ProductChoice* chosenProduct(const ControllerForm& form) {
    const auto products = productChoices();
    if (form.product < 0 || form.product >= static_cast<int>(products.size())) return nullptr;
    return &products[form.product];
}

// A typed number within the field's range; a text that is no number reads as 0.
int fieldNumber(const QString& text, int maximum) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::clamp(value, 0, maximum) : 0;
}

bool validPort(const QString& text) {
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return ok && port > 0 && port <= 65535;
}

QString connectionError(const ControllerForm& form) {
    if (form.description.trimmed().isEmpty()) return loadString(TEXT_ENTER_DESCRIPTION);
    if (!form.server && form.address.trimmed().isEmpty()) return loadString(TEXT_ENTER_ADDRESS);
    return {};
}

void applyConnection(CQUORVISData& record, const ControllerForm& form) {
    record.DeviceComment = form.description.trimmed();
    record.HostAddr.clear();
    if (form.server) {
        record.IsServer = 1;
    } else {
        record.IsServer = 0;
        record.setHostAddr(form.address.trimmed());
    }
}

// Port, unit id and base addresses as the product takes them.
void applyAddresses(CQUORVISData& record, const ControllerForm& form) {
    record.HostPort = fieldNumber(form.port, 65535);
    record.UnitId =
        record.DeviceType == FAMILY_GENERIC ? fieldNumber(form.unitId, 255) : kRlxUnitId;
    record.InputAddr = fieldNumber(form.inputAddr, 65535);
    if (record.DeviceType == FAMILY_RLX820)
        record.OutputAddr = kRlx820OutputAddr;
    else if (record.DeviceType != FAMILY_RLX810)
        record.OutputAddr = fieldNumber(form.outputAddr, 65535);
    record.RootID = form.rootId;
}

} // namespace

ControllerForm manualFormDefaults(int rootId) {
    ControllerForm form;
    form.rootId = rootId;
    form.address = QStringLiteral("10.1.0.1");
    form.port = QStringLiteral("502");
    form.unitId = QStringLiteral("1");
    form.inputAddr = QStringLiteral("0");
    form.outputAddr = QStringLiteral("8");
    return form;
}

int productIndexOf(const CQUORVISData& record) {
    const auto products = productChoices();
    for (std::size_t i = 0; i < products.size(); ++i) {
        const ProductChoice& p = products[i];
        if (p.deviceType != record.DeviceType) continue;
        if (p.deviceType != FAMILY_GENERIC ||
            (p.inputs == record.NumberOfPortInput && p.outputs == record.NumberOfPortOutput))
            return static_cast<int>(i);
    }
    return -1;
}

ControllerForm formOf(const CQUORVISData& record) {
    ControllerForm form;
    form.product = productIndexOf(record);
    form.rootId = record.RootID;
    form.server = record.IsServer != 0;
    form.address = record.HostAddr;
    form.port = QString::number(record.HostPort);
    form.description = record.DeviceComment;
    form.unitId = QString::number(record.UnitId);
    form.inputAddr = QString::number(record.InputAddr);
    form.outputAddr = QString::number(record.OutputAddr);
    return form;
}

QString manualFormError(const ControllerForm& form) {
    if (!chosenProduct(form)) return loadString(TEXT_SELECT_PRODUCT);
    if (form.rootId < 0) return loadString(TEXT_SELECT_GROUP_FIRST);
    if (const QString error = connectionError(form); !error.isEmpty()) return error;
    if (!validPort(form.port)) return loadString(TEXT_ENTER_PORT);
    return {};
}

QString modifyFormError(const ControllerForm& form) {
    if (const QString error = connectionError(form); !error.isEmpty()) return error;
    if (!validPort(form.port)) return loadString(TEXT_ENTER_PORT);
    return {};
}

void applyManualForm(CQUORVISData& record, const ControllerForm& form) {
    applyConnection(record, form);
    if (const ProductChoice* product = chosenProduct(form)) applyProductChoice(record, *product);
    for (int n = 0; n < kDigitalPorts; ++n) {
        record.DiComment[n] = QStringLiteral("DI%1").arg(n);
        record.DoComment[n] = QStringLiteral("DO%1").arg(n);
    }
    applyAddresses(record, form);
}

bool applyModifyForm(CQUORVISData& record, const ControllerForm& form) {
    applyConnection(record, form);
    const int inputs = record.NumberOfPortInput;
    const int outputs = record.NumberOfPortOutput;
    if (const ProductChoice* product = chosenProduct(form)) {
        record.DeviceType = product->deviceType;
        record.NumberOfPortInput = product->inputs;
        record.NumberOfPortOutput = product->outputs;
        record.ViewMode = product->deviceType == FAMILY_RLX830 ? kRlx830ViewMode : 0;
    }
    applyAddresses(record, form);
    return record.NumberOfPortInput != inputs || record.NumberOfPortOutput != outputs;
}

} // namespace iomira
