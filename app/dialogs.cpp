#include "dialogs.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "dialog_text.h"

namespace app {

namespace {

using platform::DialogControl;
using platform::DialogRequest;

DialogRequest openRequest(int templateId) {
    return makeDialogRequest(*findDialogTemplate(templateId));
}

void setText(DialogRequest& r, int id, std::string text) {
    if (DialogControl* c = r.find(id))
        c->text = std::move(text);
}

void setNumber(DialogRequest& r, int id, int64_t value) {
    setText(r, id, std::to_string(value));
}

std::string text(const DialogRequest& r, int id) {
    const DialogControl* c = r.find(id);
    return c ? c->text : std::string();
}

// A field's text converted and stored in the field's own width.
template <class T>
void readNumber(const DialogRequest& r, int id, T& field) {
    field = static_cast<T>(textToInt(text(r, id)));
}

// A caption of the template with its "%d" places filled with `numbers`, in order.
std::string captionText(int templateId, int id, std::initializer_list<int64_t> numbers) {
    for (const DialogItem& item : findDialogTemplate(templateId)->items) {
        if (item.id != id)
            continue;
        std::string s = item.caption;
        std::size_t at = 0;
        for (int64_t n : numbers) {
            at = s.find("%d", at);
            if (at == std::string::npos)
                break;
            const std::string digits = std::to_string(n);
            s.replace(at, 2, digits);
            at += digits.size();
        }
        return s;
    }
    return {};
}

// Reads `count` list entries from control `id` into `entries`.
void readList(const DialogRequest& r, int id, uint16_t* entries, std::size_t count) {
    const std::vector<int32_t> values = readNumberList(text(r, id), count);
    for (std::size_t i = 0; i < count; ++i)
        entries[i] = static_cast<uint16_t>(values[i]);
}

bool show(AppSettings& a, DialogRequest& r) {
    return a.window().runDialog(r);
}

// A radio group bound to a setting, with the working and saved copies: the button whose value
// the setting holds is checked at opening, `fallbackId` when it holds none of them; a click on
// a button of the group makes its value the working copy.
struct RadioCopy {
    struct Choice {
        int id;
        int32_t value;
    };
    std::vector<Choice> choices;
    int fallbackId;
    int32_t working, saved;

    RadioCopy(std::initializer_list<Choice> c, int fallback, int32_t value)
        : choices(c), fallbackId(fallback), working(value), saved(value) {}

    void show(DialogRequest& r) const {
        int checkedId = fallbackId;
        for (const Choice& c : choices)
            if (c.value == saved)
                checkedId = c.id;
        if (DialogControl* c = r.find(checkedId))
            c->checked = true;
    }
    void click(int id) {
        for (const Choice& c : choices)
            if (c.id == id)
                working = c.value;
    }
};

// A check box bound to a setting: checked at opening when the setting is non-zero; a click
// makes the working copy 1 when the box is checked, else 0.
struct CheckCopy {
    int id;
    int32_t working, saved;

    CheckCopy(int controlId, int32_t value) : id(controlId), working(value), saved(value) {}

    void show(DialogRequest& r) const {
        if (DialogControl* c = r.find(id))
            c->checked = saved != 0;
    }
    // Clicks are replayed after the dialog closed: the state a box shows after its last click
    // is the state it was left in.
    void click(const DialogRequest& r, int clicked) {
        if (clicked == id)
            if (const DialogControl* c = r.find(id))
                working = c->checked ? 1 : 0;
    }
};

}  // namespace

void createSeriesDialog(AppSettings& a) {
    DialogRequest r = openRequest(kCreateSeriesTemplate);
    setNumber(r, 1000, a.dwSeriesLength);
    setNumber(r, 1001, a.wTmin);
    setNumber(r, 1003, a.wTmax);
    setNumber(r, 1004, a.dwDetectionEtalon);
    setNumber(r, 1005, a.wCreateSavedLevel);
    setNumber(r, 1006, a.wProcessSavedLevel);
    if (!show(a, r)) {
        a.dialogAccepted = 0;
        return;
    }
    readNumber(r, 1000, a.dwEnteredSeriesLength);
    readNumber(r, 1001, a.wEnteredTmin);
    readNumber(r, 1003, a.wEnteredTmax);
    readNumber(r, 1004, a.dwEtalonNumber);
    readNumber(r, 1005, a.wEnteredCreateSavedLevel);
    readNumber(r, 1006, a.wEnteredProcessSavedLevel);
    a.dialogAccepted = 1;
}

void seriesStructureDialog(AppSettings& a) {
    // The sequence shown and read is bounded by what the array holds.
    const std::size_t n =
        a.dialogSequence ? std::min<std::size_t>(a.wPulsesInSeries, a.wDialogSequenceSize) : 0;
    DialogRequest r = openRequest(kSeriesStructureTemplate);
    setText(r, 1008, captionText(kSeriesStructureTemplate, 1008, {a.wRangeFrom, a.wRangeTo}));
    setNumber(r, 1007, a.wPulsesInSeries);
    setText(r, 1009, captionText(kSeriesStructureTemplate, 1009, {a.wAlphabetSize}));
    setText(r, 1010, numberListText(a.dialogSequence.get(), n));
    setNumber(r, 1011, a.wNoiseLevel);
    if (!show(a, r)) {
        a.dialogAccepted = 0;
        return;
    }
    readNumber(r, 1007, a.wEnteredPulses);
    readList(r, 1010, a.dialogSequence.get(), n);
    readNumber(r, 1011, a.wEnteredNoiseLevel);
    a.dialogAccepted = 1;
}

void requiredEtalonsDialog(AppSettings& a) {
    // The list holds wRequiredCapacity entries; a count beyond it is never shown or read past.
    const auto listed = [&a]() -> std::size_t {
        return a.lpEtalonNumbersList ? std::min(a.wRequiredCount, a.wRequiredCapacity) : 0;
    };
    DialogRequest r = openRequest(kRequiredEtalonsTemplate);
    setNumber(r, 1014, a.wRequiredCount);
    setText(r, 1012, captionText(kRequiredEtalonsTemplate, 1012, {a.wAlphabetSize}));
    setText(r, 1013, numberListText(a.lpEtalonNumbersList.get(), listed()));
    if (!show(a, r)) {
        a.dialogAccepted = 0;
        return;
    }
    // A count outside 1 ... capacity keeps the old one; the list is read with the count kept.
    const int32_t n = textToInt(text(r, 1014));
    if (n > 0 && n <= a.wRequiredCapacity)
        a.wRequiredCount = static_cast<uint16_t>(n);
    readList(r, 1013, a.lpEtalonNumbersList.get(), listed());
    a.dialogAccepted = 1;
}

void locationParametersDialog(AppSettings& a) {
    DialogRequest r = openRequest(kLocationParametersTemplate);
    setNumber(r, 1015, a.wRangeFrom);
    setNumber(r, 1016, a.wRangeTo);
    setNumber(r, 1017, a.wPulsesIncrement);
    setNumber(r, 1019, a.wInitialNoiseLevel);
    setNumber(r, 1018, a.wNoiseSteps);
    setNumber(r, 1020, a.wNoiseIncrement);
    setNumber(r, 1021, a.wRepeats);
    if (!show(a, r)) {
        a.dialogAccepted = 0;
        return;
    }
    readNumber(r, 1015, a.wRangeFrom);
    readNumber(r, 1016, a.wRangeTo);
    readNumber(r, 1017, a.wPulsesIncrement);
    readNumber(r, 1019, a.wInitialNoiseLevel);
    readNumber(r, 1018, a.wNoiseSteps);
    readNumber(r, 1020, a.wNoiseIncrement);
    readNumber(r, 1021, a.wRepeats);
    a.dialogAccepted = 1;
}

void subsetSettingsDialog(AppSettings& a) {
    RadioCopy employment({{1015, 1}, {1016, 2}, {1017, 3}, {1018, 4}, {1019, 5}}, 1018,
                         a.wSubsetEmployment);
    RadioCopy proceeding({{1021, 1}, {1022, 2}}, 1021, a.wSubsetProceeding);
    DialogRequest r = openRequest(kSubsetSettingsTemplate);
    employment.show(r);
    proceeding.show(r);
    setNumber(r, 1020, a.wSubsetInitPosition);
    const bool ok = show(a, r);
    for (int id : r.clicks) {
        employment.click(id);
        proceeding.click(id);
    }
    if (ok) {
        a.wSubsetEmployment = static_cast<uint16_t>(employment.working);
        a.wSubsetProceeding = static_cast<uint16_t>(proceeding.working);
        readNumber(r, 1020, a.wSubsetInitPosition);
    } else {
        a.wSubsetEmployment = static_cast<uint16_t>(employment.saved);
        a.wSubsetProceeding = static_cast<uint16_t>(proceeding.saved);
    }
}

void drawingSettingsDialog(AppSettings& a) {
    CheckCopy frame(1044, a.frameGraphFields);
    CheckCopy shaded(1024, a.shadedOriginalPulses);
    CheckCopy highlight(1023, a.highlightDetectedPulses);
    CheckCopy special(1043, a.specialGraphSize);
    RadioCopy tuples({{1025, 1}, {1026, 2}, {1027, 0}}, 1026, a.tuplesHighlight);
    CheckCopy* checks[] = {&frame, &shaded, &highlight, &special};
    DialogRequest r = openRequest(kDrawingSettingsTemplate);
    for (CheckCopy* c : checks)
        c->show(r);
    tuples.show(r);
    const bool ok = show(a, r);
    for (int id : r.clicks) {
        for (CheckCopy* c : checks)
            c->click(r, id);
        tuples.click(id);
    }
    const auto pick = [ok](const auto& copy) { return ok ? copy.working : copy.saved; };
    a.frameGraphFields = pick(frame);
    a.shadedOriginalPulses = pick(shaded);
    a.highlightDetectedPulses = pick(highlight);
    a.specialGraphSize = pick(special);
    a.tuplesHighlight = static_cast<int16_t>(pick(tuples));
}

namespace {

// Templates 113 and 114; `recognition` adds the recognition error and "bounds incl.".
void showSimulationDialogOf(AppSettings& a, int templateId, bool recognition) {
    RadioCopy handling =
        recognition ? RadioCopy({{1028, 1}, {1029, 2}, {1034, 3}}, 1028, a.showHandlingCase)
                    : RadioCopy({{1028, 1}, {1029, 2}}, 1028, a.showHandlingCase);
    RadioCopy view({{1030, 1}, {1031, 2}}, 1030, a.showViewCase);
    CheckCopy fixed(1032, a.fixedUpperBound);
    CheckCopy bounds(1042, a.boundsIncluded);
    const double openingBound = a.upperBound;
    DialogRequest r = openRequest(templateId);
    handling.show(r);
    view.show(r);
    fixed.show(r);
    setText(r, 1033, formatUpperBound(a.upperBound));
    if (recognition)
        bounds.show(r);
    const bool ok = show(a, r);
    for (int id : r.clicks) {
        handling.click(id);
        view.click(id);
        fixed.click(r, id);
        bounds.click(r, id);
    }
    if (ok) {
        a.showHandlingCase = handling.working;
        a.showViewCase = view.working;
        a.fixedUpperBound = fixed.working;
        // The typed bound counts only with the fixed upper bound on.
        a.upperBound = a.fixedUpperBound ? textToDouble(text(r, 1033)) : openingBound;
        if (recognition)
            a.boundsIncluded = bounds.working;
    } else {
        a.showHandlingCase = handling.saved;
        a.showViewCase = view.saved;
        a.fixedUpperBound = fixed.saved;
        a.upperBound = openingBound;
        if (recognition)
            a.boundsIncluded = bounds.saved;
    }
}

}  // namespace

void showSimulationParametersDialog(AppSettings& a) {
    showSimulationDialogOf(a, kShowSimulationParametersTemplate, false);
}

void showSimulationDialog(AppSettings& a) {
    showSimulationDialogOf(a, kShowSimulationTemplate, true);
}

bool runDialogTemplate(AppSettings& a, int id) {
    switch (id) {
        case kCreateSeriesTemplate:
            createSeriesDialog(a);
            return true;
        case kSeriesStructureTemplate:
            seriesStructureDialog(a);
            return true;
        case kRequiredEtalonsTemplate:
            requiredEtalonsDialog(a);
            return true;
        case kLocationParametersTemplate:
            locationParametersDialog(a);
            return true;
        case kSubsetSettingsTemplate:
            subsetSettingsDialog(a);
            return true;
        case kDrawingSettingsTemplate:
            drawingSettingsDialog(a);
            return true;
        case kShowSimulationParametersTemplate:
            showSimulationParametersDialog(a);
            return true;
        case kShowSimulationTemplate:
            showSimulationDialog(a);
            return true;
        default:
            return false;
    }
}

}  // namespace app
