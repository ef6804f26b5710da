#include "dialog_templates.h"

namespace app {

namespace {

using K = DialogControlKind;

DialogItem edit(int id, std::string label, int group = 0, bool enabled = true) {
    return {id, K::Edit, std::move(label), group, enabled};
}
DialogItem caption(int id, std::string text, int group = 0) {
    return {id, K::Static, std::move(text), group, true};
}
DialogItem radio(int id, std::string text, int group) {
    return {id, K::Radio, std::move(text), group, true};
}
DialogItem check(int id, std::string text, int group = 0) {
    return {id, K::CheckBox, std::move(text), group, true};
}

std::vector<DialogItem> withButtons(std::vector<DialogItem> items) {
    items.push_back({kDialogOk, K::PushButton, "OK", 0, true});
    items.push_back({kDialogCancel, K::PushButton, "Cancel", 0, true});
    return items;
}

std::vector<DialogTemplate> makeTemplates() {
    std::vector<DialogTemplate> t;
    t.push_back({kCreateSeriesTemplate,
                 "Create Series",
                 {"Parameters for creating series", "Parameters for processing series"},
                 withButtons({
                     edit(1000, "Samples Length", 1),
                     edit(1001, "Min Length of Interval", 1),
                     edit(1003, "Max Length of Interval", 1),
                     edit(1004, "Etalon Number", 1),
                     edit(1005, "Saved Energy Level (from 0 to 100)", 1),
                     edit(1006, "Saved Energy Level (from 0 to 100)", 2),
                 })});
    t.push_back({kSeriesStructureTemplate,
                 "Create Series",
                 {" Series structure "},
                 withButtons({
                     caption(1008, "Number of Pulses in Series (from %d to %d)", 1),
                     edit(1007, "", 1),
                     caption(1009, "Sequence of Etalons in Series (values from 1 to %d)", 1),
                     edit(1010, "", 1),
                     edit(1011, "Noise Level", 1),
                 })});
    t.push_back({kRequiredEtalonsTemplate,
                 "List of Required Etalons",
                 {},
                 withButtons({
                     edit(1014, "Number of Required Etalons"),
                     caption(1012, "List of Required Etalons (from 1 to %d)"),
                     edit(1013, ""),
                 })});
    t.push_back({kLocationParametersTemplate,
                 " Location Parameters",
                 {" Number of Pulses in Series ", " Noise parameters "},
                 withButtons({
                     edit(1015, "from", 1),
                     edit(1016, "to", 1),
                     edit(1017, "incr.", 1),
                     edit(1019, "Initial Level", 2),
                     edit(1018, "Number of Steps in Simulation", 2),
                     edit(1020, "Noise Increment per Step", 2),
                     edit(1021, "Number of Repeats"),
                 })});
    t.push_back({kSubsetSettingsTemplate,
                 "Subset settings",
                 {" Subset employment ", " Subset proceeding "},
                 withButtons({
                     radio(1015, "Single random ", 1),
                     radio(1016, "Single fixed", 1),
                     radio(1017, "Multiple random", 1),
                     radio(1018, "Complete ", 1),
                     radio(1019, "Shifted complete", 1),
                     edit(1020, "Subset init position", 0, false),
                     radio(1021, "Complete ", 2),
                     radio(1022, "Probably shifted complete", 2),
                 })});
    t.push_back({kDrawingSettingsTemplate,
                 "Drawing settings",
                 {" Highlight detected tuples "},
                 withButtons({
                     check(1044, "frame graph fields"),
                     check(1024, "shaded original pulses"),
                     check(1023, "highlight detected pulses"),
                     check(1043, "special graph size"),
                     radio(1025, "dotted frame", 1),
                     radio(1026, "coloured background", 1),
                     radio(1027, "none", 1),
                 })});
    t.push_back({kShowSimulationParametersTemplate,
                 " Show Statistical Simulation parameters",
                 {" Handling case ", " View case ", " Upper bound case "},
                 withButtons({
                     radio(1028, "restoring error", 1),
                     radio(1029, "detection error", 1),
                     radio(1030, "componentwise", 2),
                     radio(1031, "summary view", 2),
                     check(1032, "fixed upper bound", 3),
                     edit(1033, "upper bound", 3),
                 })});
    t.push_back({kShowSimulationTemplate,
                 "Show Statistical Simulation",
                 {" Handling case ", " View case ", " Upper bound case "},
                 withButtons({
                     radio(1028, "restoring error", 1),
                     radio(1029, "detection error", 1),
                     radio(1034, "recognition error", 1),
                     radio(1030, "componentwise", 2),
                     radio(1031, "summary view", 2),
                     check(1032, "fixed upper bound", 3),
                     edit(1033, "upper bound", 3),
                     check(1042, "bounds incl.", 3),
                 })});
    return t;
}

}  // namespace

const std::vector<DialogTemplate>& dialogTemplates() {
    static const std::vector<DialogTemplate> templates = makeTemplates();
    return templates;
}

const DialogTemplate* findDialogTemplate(int id) {
    for (const auto& t : dialogTemplates())
        if (t.id == id)
            return &t;
    return nullptr;
}

platform::DialogRequest makeDialogRequest(const DialogTemplate& dialog) {
    platform::DialogRequest r;
    r.templateId = dialog.id;
    for (const DialogItem& item : dialog.items) {
        if (item.kind == K::PushButton)
            continue;
        platform::DialogControl c;
        c.id = item.id;
        c.kind = item.kind;
        c.group = item.group;
        c.enabled = item.enabled;
        if (item.kind == K::Static)
            c.text = item.caption;
        r.controls.push_back(std::move(c));
    }
    return r;
}

}  // namespace app
