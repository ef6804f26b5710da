#pragma once
// The eight parameter dialog templates as data: title, group boxes and controls in tab order,
// each control with its id, kind, caption, group and whether it is enabled. The Qt program
// builds its dialogs from them and the dialog procedures fill requests from them.

#include <string>
#include <vector>

#include "platform/host_window.h"

namespace app {

using platform::DialogControlKind;

inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

// Template ids.
enum DialogTemplateId : int {
    kCreateSeriesTemplate = 105,
    kSeriesStructureTemplate = 106,
    kRequiredEtalonsTemplate = 107,
    kLocationParametersTemplate = 110,
    kSubsetSettingsTemplate = 111,
    kDrawingSettingsTemplate = 112,
    kShowSimulationParametersTemplate = 113,
    kShowSimulationTemplate = 114,
};

struct DialogItem {
    int id = 0;
    DialogControlKind kind = DialogControlKind::Edit;
    // The label in front of an edit control (may be empty), the caption of a button, or the
    // format of a caption the procedure fills at opening.
    std::string caption;
    int group = 0;  // 1-based index into the template's groups, 0 for none; radio buttons of
                    // one group exclude each other
    bool enabled = true;
};

struct DialogTemplate {
    int id = 0;
    std::string title;
    std::vector<std::string> groups;  // group box titles
    std::vector<DialogItem> items;    // in tab order; OK and Cancel last
};

// Every template, in id order.
const std::vector<DialogTemplate>& dialogTemplates();
// The template `id`, or null.
const DialogTemplate* findDialogTemplate(int id);

// A request for the template with every control but the push buttons, in tab order, empty
// and unchecked.
platform::DialogRequest makeDialogRequest(const DialogTemplate& dialog);

}  // namespace app
