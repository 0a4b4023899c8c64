#include "ui/windows/output_click.h"

#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/view_services.h"
#include "notify/warning_question.h"

namespace iomira {

CommandOutcome clickOutputPort(ControllerCommands& commands, const ViewServices& services,
                               const CQUORVISData& controller, int port, int shownValue) {
    const OutputClick action = commands.outputAction(port);
    CommandOutcome outcome;
    if (action == OutputClick::Ignore) return outcome;
    if (action == OutputClick::Restricted) {
        if (services.prompts) services.prompts->error(loadString(TEXT_OUTPUTS_RESTRICTED));
        return outcome;
    }
    if (services.prompts && !ConfirmOutputSwitch(*services.prompts, controller, port, shownValue))
        return outcome;
    outcome = commands.switchOutput(port, action, shownValue);
    if (services.prompts && !outcome.message.isEmpty()) services.prompts->error(outcome.message);
    return outcome;
}

} // namespace iomira
