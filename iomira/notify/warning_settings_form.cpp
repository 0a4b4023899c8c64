#include "notify/warning_settings_form.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"

namespace iomira {

namespace {
QString orDefault(const QString& stored, const QString& fallback) {
    return stored.isEmpty() ? fallback : stored;
}
} // namespace

WarningForm defaultWarningForm() {
    WarningForm form;
    form.allOn = loadString(TEXT_DEFAULT_QUESTION_ON);
    form.allOff = loadString(TEXT_DEFAULT_QUESTION_OFF);
    form.rowUse.fill(true);
    form.rowOn.fill(form.allOn);
    form.rowOff.fill(form.allOff);
    return form;
}

WarningForm warningFormFor(const CQUORVISData& c) {
    WarningForm form = defaultWarningForm();
    if (c.UseWarningMsg != 1) return form;
    form.use = true;
    form.type = c.WarningMsgType == 1 ? 1 : 0;
    form.allOn = orDefault(c.MsgAllOn, form.allOn);
    form.allOff = orDefault(c.MsgAllOff, form.allOff);
    for (int i = 0; i < kDigitalPorts; ++i) {
        form.rowUse[i] = c.UseWarningMsgDo[i] == 1;
        form.rowOn[i] = orDefault(c.DoMsgOnOn[i], form.rowOn[i]);
        form.rowOff[i] = orDefault(c.DoMsgOnOff[i], form.rowOff[i]);
    }
    return form;
}

bool warningFormValid(const WarningForm& form) {
    const auto fits = [](const QString& text) { return text.size() <= kWarningTextLimit; };
    if (!fits(form.allOn) || !fits(form.allOff)) return false;
    for (int i = 0; i < kDigitalPorts; ++i) {
        if (!fits(form.rowOn[i]) || !fits(form.rowOff[i])) return false;
    }
    return true;
}

void applyWarningForm(const WarningForm& form, CQUORVISData& c) {
    c.UseWarningMsg = form.use ? 1 : 0;
    if (!form.use) return;
    c.WarningMsgType = form.type;
    if (form.type == 0) {
        c.MsgAllOn = form.allOn;
        c.MsgAllOff = form.allOff;
        return;
    }
    for (int i = 0; i < kDigitalPorts; ++i) {
        c.DoMsgOnOn[i] = form.rowOn[i];
        c.DoMsgOnOff[i] = form.rowOff[i];
        c.UseWarningMsgDo[i] = form.rowUse[i] ? 1 : 0;
    }
}

} // namespace iomira
