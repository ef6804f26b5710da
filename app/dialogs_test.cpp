#include "dialogs.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/headless_host.h"

namespace app {
namespace {

using platform::DialogControl;
using platform::DialogControlKind;
using platform::DialogRequest;
using platform::HeadlessHost;

class DialogsTest : public ::testing::Test {
  protected:
    DialogsTest() : host(640, 480, false, nullptr) { a.hMainWindow = &host; }

    // Queues the answer for the next opening of `templateId`: values by id, text for edit
    // controls, "1"/"0" for buttons.
    void answer(int templateId, bool ok, std::vector<std::pair<int, std::string>> values = {}) {
        HeadlessHost::DialogAnswer ans;
        ans.ok = ok;
        for (auto& [id, text] : values)
            ans.values.push_back(DialogControl{id, text});
        host.queueDialogAnswer(templateId, std::move(ans));
    }
    // The last dialog shown, as it was at opening.
    const DialogRequest& shown() const { return host.dialogsShown().back(); }
    std::string shownText(int id) const { return shown().find(id)->text; }
    std::vector<int> shownChecked() const {
        std::vector<int> ids;
        for (const auto& c : shown().controls)
            if (c.checked)
                ids.push_back(c.id);
        return ids;
    }
    void setDialogSequence(std::vector<uint16_t> values) {
        a.dialogSequence = std::make_unique<uint16_t[]>(values.size());
        a.wDialogSequenceSize = static_cast<uint16_t>(values.size());
        for (size_t i = 0; i < values.size(); ++i)
            a.dialogSequence[i] = values[i];
    }
    std::vector<uint16_t> dialogSequence() const {
        return {a.dialogSequence.get(), a.dialogSequence.get() + a.wDialogSequenceSize};
    }
    void setRequiredList(std::vector<uint16_t> values, uint16_t count) {
        a.wRequiredCapacity = static_cast<uint16_t>(values.size());
        a.lpEtalonNumbersList = std::make_unique<uint16_t[]>(values.size());
        for (size_t i = 0; i < values.size(); ++i)
            a.lpEtalonNumbersList[i] = values[i];
        a.wRequiredCount = count;
    }
    std::vector<uint16_t> requiredList() const {
        return {a.lpEtalonNumbersList.get(), a.lpEtalonNumbersList.get() + a.wRequiredCapacity};
    }

    HeadlessHost host;
    AppSettings a;
};

TEST(DialogTemplates, EveryTemplateIsWellFormed) {
    const std::vector<std::pair<int, std::string>> titles = {
        {105, "Create Series"},
        {106, "Create Series"},
        {107, "List of Required Etalons"},
        {110, " Location Parameters"},
        {111, "Subset settings"},
        {112, "Drawing settings"},
        {113, " Show Statistical Simulation parameters"},
        {114, "Show Statistical Simulation"},
    };
    ASSERT_EQ(dialogTemplates().size(), titles.size());
    for (const auto& [id, title] : titles) {
        SCOPED_TRACE(id);
        const DialogTemplate* t = findDialogTemplate(id);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->title, title);
        ASSERT_GE(t->items.size(), 3u);
        const DialogItem& ok = t->items[t->items.size() - 2];
        const DialogItem& cancel = t->items.back();
        EXPECT_EQ(ok.id, 1);
        EXPECT_EQ(ok.kind, DialogControlKind::PushButton);
        EXPECT_EQ(cancel.id, 2);
        EXPECT_EQ(cancel.kind, DialogControlKind::PushButton);
        std::set<int> ids;
        for (const DialogItem& item : t->items) {
            EXPECT_TRUE(ids.insert(item.id).second) << "duplicate id " << item.id;
            EXPECT_GE(item.group, 0);
            EXPECT_LE(item.group, static_cast<int>(t->groups.size()));
            if (item.kind == DialogControlKind::Radio) {
                EXPECT_GT(item.group, 0) << "radio " << item.id << " outside a group";
            }
        }
        const DialogRequest r = makeDialogRequest(*t);
        EXPECT_EQ(r.templateId, id);
        EXPECT_EQ(r.controls.size(), t->items.size() - 2);
    }
    EXPECT_EQ(findDialogTemplate(108), nullptr);
    // The subset init position is shown but cannot be typed.
    const DialogRequest r = makeDialogRequest(*findDialogTemplate(111));
    EXPECT_FALSE(r.find(1020)->enabled);
}

TEST_F(DialogsTest, CreateSeriesShowsTheSettingsAndWritesTheEnteredCopies) {
    a.dwSeriesLength = 1200;
    a.dwDetectionEtalon = 3;
    a.wCreateSavedLevel = 100;
    a.wProcessSavedLevel = 75;
    a.dialogAccepted = 0;
    answer(105, true,
           {{1000, "70000"},
            {1001, " 50x"},
            {1003, "70000"},
            {1004, "-2"},
            {1005, "-1"},
            {1006, "abc"}});
    createSeriesDialog(a);
    EXPECT_EQ(shownText(1000), "1200");
    EXPECT_EQ(shownText(1001), "40");
    EXPECT_EQ(shownText(1003), "181");
    EXPECT_EQ(shownText(1004), "3");
    EXPECT_EQ(shownText(1005), "100");
    EXPECT_EQ(shownText(1006), "75");
    EXPECT_EQ(a.dialogAccepted, 1);
    EXPECT_EQ(a.dwEnteredSeriesLength, 70000u);  // a 32-bit field
    EXPECT_EQ(a.wEnteredTmin, 50);
    EXPECT_EQ(a.wEnteredTmax, 70000 % 65536);  // a 16-bit field keeps the low 16 bits
    EXPECT_EQ(a.dwEtalonNumber, -2);
    EXPECT_EQ(a.wEnteredCreateSavedLevel, -1);
    EXPECT_EQ(a.wEnteredProcessSavedLevel, 0);
    // The settings shown are not touched.
    EXPECT_EQ(a.dwSeriesLength, 1200u);
    EXPECT_EQ(a.wTmin, 40);
    EXPECT_EQ(a.dwDetectionEtalon, 3);
}

TEST_F(DialogsTest, DialogsWithAnOutcomeWriteNothingOnCancel) {
    setDialogSequence({1, 2, 1});
    a.wPulsesInSeries = 3;
    setRequiredList({1, 2, 3}, 3);
    for (int id : {105, 106, 107, 110}) {
        SCOPED_TRACE(id);
        a.dialogAccepted = 1;
        a.dwEnteredSeriesLength = 11;
        a.dwEtalonNumber = 12;
        a.wEnteredPulses = 13;
        a.wEnteredNoiseLevel = 14;
        a.wRangeFrom = 15;
        a.wRepeats = 16;
        std::vector<std::pair<int, std::string>> typed;
        for (const DialogItem& item : findDialogTemplate(id)->items)
            if (item.kind == DialogControlKind::Edit)
                typed.push_back({item.id, "9"});
        answer(id, false, typed);
        ASSERT_TRUE(runDialogTemplate(a, id));
        EXPECT_EQ(a.dialogAccepted, 0);
        EXPECT_EQ(a.dwEnteredSeriesLength, 11u);
        EXPECT_EQ(a.dwEtalonNumber, 12);
        EXPECT_EQ(a.wEnteredPulses, 13);
        EXPECT_EQ(a.wEnteredNoiseLevel, 14);
        EXPECT_EQ(a.wRangeFrom, 15);
        EXPECT_EQ(a.wRepeats, 16);
        EXPECT_EQ(dialogSequence(), (std::vector<uint16_t>{1, 2, 1}));
        EXPECT_EQ(a.wRequiredCount, 3);
        EXPECT_EQ(requiredList(), (std::vector<uint16_t>{1, 2, 3}));
    }
    EXPECT_FALSE(runDialogTemplate(a, 108));
}

TEST_F(DialogsTest, SeriesStructureShowsTheSequenceAndReadsTheList) {
    const struct {
        std::string typed;
        std::vector<uint16_t> stored;
    } cases[] = {
        {"1,2,1", {1, 2, 1, 9}},
        {"4 5", {4, 5, 0, 9}},
        {"3,,7", {3, 0, 7, 9}},
        {"1, 2, 3", {1, 2, 3, 9}},
        {"", {0, 0, 0, 9}},
        {"-1,21,5,8", {65535, 21, 5, 9}},  // no range check; only the shown entries are read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        setDialogSequence({1, 2, 1, 9});
        a.wPulsesInSeries = 3;
        a.wRangeFrom = 6;
        a.wRangeTo = 30;
        a.wNoiseLevel = 35;
        answer(106, true, {{1010, c.typed}, {1007, "18"}, {1011, "50"}});
        seriesStructureDialog(a);
        EXPECT_EQ(shownText(1008), "Number of Pulses in Series (from 6 to 30)");
        EXPECT_EQ(shownText(1007), "3");
        EXPECT_EQ(shownText(1009), "Sequence of Etalons in Series (values from 1 to 20)");
        EXPECT_EQ(shownText(1010), "1,2,1");
        EXPECT_EQ(shownText(1011), "35");
        EXPECT_EQ(dialogSequence(), c.stored);
        EXPECT_EQ(a.wEnteredPulses, 18);
        EXPECT_EQ(a.wEnteredNoiseLevel, 50);
        EXPECT_EQ(a.wPulsesInSeries, 3);  // the count is an entered copy
        EXPECT_EQ(a.dialogAccepted, 1);
    }
}

TEST_F(DialogsTest, ListFieldsWithNoEntriesAreEmpty) {
    setDialogSequence({4, 4});
    a.wPulsesInSeries = 0;
    answer(106, true, {{1010, "7,7"}});
    seriesStructureDialog(a);
    EXPECT_EQ(shownText(1010), "");
    EXPECT_EQ(dialogSequence(), (std::vector<uint16_t>{4, 4}));

    // A pulse count beyond the array shows and reads only what the array holds; no array at
    // all shows an empty list.
    a.wPulsesInSeries = 5;
    answer(106, true, {{1010, "1,2,3,4,5"}});
    seriesStructureDialog(a);
    EXPECT_EQ(shownText(1010), "4,4");
    EXPECT_EQ(dialogSequence(), (std::vector<uint16_t>{1, 2}));
    a.dialogSequence.reset();
    a.wDialogSequenceSize = 0;
    seriesStructureDialog(a);
    EXPECT_EQ(shownText(1010), "");

    setRequiredList({5, 6}, 0);
    answer(107, true, {{1013, "1,2"}});
    requiredEtalonsDialog(a);
    EXPECT_EQ(shownText(1013), "");
    EXPECT_EQ(requiredList(), (std::vector<uint16_t>{5, 6}));
}

TEST_F(DialogsTest, RequiredEtalonsChecksTheCount) {
    const struct {
        std::string count;
        std::string list;
        uint16_t storedCount;
        std::vector<uint16_t> stored;
    } cases[] = {
        {"3", "5,6,7", 3, {5, 6, 7, 4, 5}},
        {"5", "20 19 18 17 16", 5, {20, 19, 18, 17, 16}},
        {"1", "9", 1, {9, 2, 3, 4, 5}},
        {"0", "9,8,7", 2, {9, 8, 3, 4, 5}},      // 0 keeps the old count of 2
        {"6", "9,8,7", 2, {9, 8, 3, 4, 5}},      // beyond the capacity of 5
        {"-1", "9", 2, {9, 0, 3, 4, 5}},         // negative
        {"65538", "9,8,7", 2, {9, 8, 3, 4, 5}},  // checked before it is cut to 16 bits
        {"x", "2,2", 2, {2, 2, 3, 4, 5}},        // not a number: 0
        {"2", "300,1", 2, {300, 1, 3, 4, 5}},    // no range check here
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count + " / " + c.list);
        setRequiredList({1, 2, 3, 4, 5}, 2);
        a.wAlphabetSize = 20;
        answer(107, true, {{1014, c.count}, {1013, c.list}});
        requiredEtalonsDialog(a);
        EXPECT_EQ(shownText(1014), "2");
        EXPECT_EQ(shownText(1012), "List of Required Etalons (from 1 to 20)");
        EXPECT_EQ(shownText(1013), "1,2");
        EXPECT_EQ(a.wRequiredCount, c.storedCount);
        EXPECT_EQ(requiredList(), c.stored);
        EXPECT_EQ(a.wRequiredCapacity, 5);
        EXPECT_EQ(a.dialogAccepted, 1);
    }
}

TEST_F(DialogsTest, RequiredEtalonsNeverReadsPastTheList) {
    // A count above the capacity (which the " New pulses... " command repairs before it opens
    // the dialog) neither shows nor writes past the list.
    setRequiredList({1, 2}, 7);
    answer(107, true, {{1014, "0"}, {1013, "4,5,6,7"}});
    requiredEtalonsDialog(a);
    EXPECT_EQ(shownText(1013), "1,2");
    EXPECT_EQ(a.wRequiredCount, 7);
    EXPECT_EQ(requiredList(), (std::vector<uint16_t>{4, 5}));
    a.lpEtalonNumbersList.reset();
    answer(107, true, {{1014, "1"}, {1013, "4"}});
    requiredEtalonsDialog(a);
    EXPECT_EQ(shownText(1013), "");
    EXPECT_EQ(a.wRequiredCount, 1);
}

TEST_F(DialogsTest, LocationParametersEditTheSettingsDirectly) {
    a.wRangeFrom = 6;
    a.wRangeTo = 30;
    const std::vector<std::pair<int, uint16_t*>> fields = {
        {1015, &a.wRangeFrom},         {1016, &a.wRangeTo},    {1017, &a.wPulsesIncrement},
        {1019, &a.wInitialNoiseLevel}, {1018, &a.wNoiseSteps}, {1020, &a.wNoiseIncrement},
        {1021, &a.wRepeats},
    };
    const std::vector<std::string> shownValues = {"6", "30", "1", "0", "29", "5", "100"};
    std::vector<std::pair<int, std::string>> typed;
    for (size_t i = 0; i < fields.size(); ++i)
        typed.push_back({fields[i].first, std::to_string(100 + i)});
    answer(110, true, typed);
    locationParametersDialog(a);
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(shownText(fields[i].first), shownValues[i]) << fields[i].first;
        EXPECT_EQ(*fields[i].second, 100 + i) << fields[i].first;
    }
    EXPECT_EQ(a.dialogAccepted, 1);
}

TEST_F(DialogsTest, SubsetSettingsCheckTheStoredChoice) {
    const struct {
        uint16_t employment, proceeding;
        std::vector<int> checked;
    } cases[] = {
        {1, 1, {1015, 1021}}, {2, 2, {1016, 1022}}, {3, 1, {1017, 1021}}, {4, 0, {1018, 1021}},
        {5, 7, {1019, 1021}}, {0, 2, {1018, 1022}}, {9, 1, {1018, 1021}},
    };
    for (const auto& c : cases) {
        a.wSubsetEmployment = c.employment;
        a.wSubsetProceeding = c.proceeding;
        a.wSubsetInitPosition = 4;
        answer(111, true);
        subsetSettingsDialog(a);
        EXPECT_EQ(shownChecked(), c.checked) << c.employment << " " << c.proceeding;
        EXPECT_EQ(shownText(1020), "4");
        // OK without a click stores the working copies, which are still the values shown.
        EXPECT_EQ(a.wSubsetEmployment, c.employment);
        EXPECT_EQ(a.wSubsetProceeding, c.proceeding);
        EXPECT_EQ(a.wSubsetInitPosition, 4);
    }
}

TEST_F(DialogsTest, SubsetSettingsFollowTheClicks) {
    a.wSubsetEmployment = 4;
    a.wSubsetProceeding = 1;
    a.wSubsetInitPosition = 3;
    a.dialogAccepted = 7;
    // The disabled position cannot be typed; the last radio button set in a group wins.
    answer(111, true, {{1016, "1"}, {1019, "1"}, {1022, "1"}, {1020, "12"}});
    subsetSettingsDialog(a);
    EXPECT_EQ(a.wSubsetEmployment, 5);
    EXPECT_EQ(a.wSubsetProceeding, 2);
    EXPECT_EQ(a.wSubsetInitPosition, 3);

    answer(111, false, {{1015, "1"}, {1021, "1"}});
    subsetSettingsDialog(a);
    EXPECT_EQ(a.wSubsetEmployment, 5);
    EXPECT_EQ(a.wSubsetProceeding, 2);
    EXPECT_EQ(a.dialogAccepted, 7);  // these dialogs report no outcome
}

TEST_F(DialogsTest, DrawingSettingsOkWithoutClicksChangesNothing) {
    const struct {
        int32_t frame, shaded, highlight, special;
        int16_t tuples;
        std::vector<int> checked;
    } cases[] = {
        {1, 1, 0, 0, 2, {1044, 1024, 1026}},
        {0, 0, 1, 1, 0, {1023, 1043, 1027}},
        {3, 0, 0, -1, 1, {1044, 1043, 1025}},
        {0, 0, 0, 0, 5, {1026}},
    };
    for (const auto& c : cases) {
        a.frameGraphFields = c.frame;
        a.shadedOriginalPulses = c.shaded;
        a.highlightDetectedPulses = c.highlight;
        a.specialGraphSize = c.special;
        a.tuplesHighlight = c.tuples;
        answer(112, true);
        drawingSettingsDialog(a);
        EXPECT_EQ(shownChecked(), c.checked);
        EXPECT_EQ(a.frameGraphFields, c.frame);
        EXPECT_EQ(a.shadedOriginalPulses, c.shaded);
        EXPECT_EQ(a.highlightDetectedPulses, c.highlight);
        EXPECT_EQ(a.specialGraphSize, c.special);
        EXPECT_EQ(a.tuplesHighlight, c.tuples);
    }
}

TEST_F(DialogsTest, DrawingSettingsStoreTheClicksOnOkAndRestoreOnCancel) {
    a.frameGraphFields = 3;
    a.shadedOriginalPulses = 1;
    a.highlightDetectedPulses = 0;
    a.specialGraphSize = 0;
    a.tuplesHighlight = 2;
    answer(112, false, {{1044, "0"}, {1023, "1"}, {1025, "1"}, {1027, "1"}});
    drawingSettingsDialog(a);
    EXPECT_EQ(a.frameGraphFields, 3);
    EXPECT_EQ(a.highlightDetectedPulses, 0);
    EXPECT_EQ(a.tuplesHighlight, 2);

    // A box unchecked and checked again stores 1, not the 3 it showed.
    answer(112, true, {{1044, "0"}, {1044, "1"}, {1023, "1"}, {1025, "1"}, {1027, "1"}});
    drawingSettingsDialog(a);
    EXPECT_EQ(a.frameGraphFields, 1);
    EXPECT_EQ(a.shadedOriginalPulses, 1);
    EXPECT_EQ(a.highlightDetectedPulses, 1);
    EXPECT_EQ(a.specialGraphSize, 0);
    EXPECT_EQ(a.tuplesHighlight, 0);
}

TEST_F(DialogsTest, SimulationDialogsReadTheBoundOnlyWhenItIsFixed) {
    const struct {
        int templateId;
        int32_t fixedAtOpening;
        std::vector<std::pair<int, std::string>> typed;
        bool ok;
        int32_t fixed;
        double bound;
    } cases[] = {
        {113, 0, {{1033, "0.5"}}, true, 0, 0.25},
        {113, 0, {{1032, "1"}, {1033, "0.5"}}, true, 1, 0.5},
        {113, 1, {{1033, "1e-2"}}, true, 1, 0.01},
        {113, 1, {{1032, "0"}, {1033, "0.5"}}, true, 0, 0.25},
        {113, 1, {{1033, "0.5"}}, false, 1, 0.25},
        {113, 5, {{1033, "x"}}, true, 5, 0.0},  // non-zero shows checked and stays as it was
        {114, 0, {{1033, "0.5"}}, true, 0, 0.25},
        {114, 0, {{1032, "1"}, {1033, "2.5e1"}}, true, 1, 25.0},
        {114, 0, {{1032, "1"}, {1033, "0.5"}}, false, 0, 0.25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.templateId);
        a.fixedUpperBound = c.fixedAtOpening;
        a.upperBound = 0.25;
        answer(c.templateId, c.ok, c.typed);
        runDialogTemplate(a, c.templateId);
        EXPECT_EQ(shownText(1033), "0.25");
        EXPECT_EQ(shown().find(1032)->checked, c.fixedAtOpening != 0);
        EXPECT_EQ(a.fixedUpperBound, c.fixed);
        EXPECT_EQ(a.upperBound, c.bound);
    }
    a.upperBound = 1234567.0;
    answer(113, false);
    showSimulationParametersDialog(a);
    EXPECT_EQ(shownText(1033), "1.2346e+06");
    EXPECT_EQ(a.upperBound, 1234567.0);
}

TEST_F(DialogsTest, SimulationDialogsCopyTheCases) {
    const struct {
        int templateId;
        int32_t handling, view, bounds;
        std::vector<int> checked;
        std::vector<std::pair<int, std::string>> clicks;
        bool ok;
        int32_t storedHandling, storedView, storedBounds;
    } cases[] = {
        {113, 1, 1, 1, {1028, 1030}, {}, true, 1, 1, 1},
        {113, 2, 2, 1, {1029, 1031}, {}, true, 2, 2, 1},
        {113, 3, 0, 1, {1028, 1030}, {}, true, 3, 0, 1},  // 3 exists only in 114
        {113, 1, 1, 1, {1028, 1030}, {{1029, "1"}, {1031, "1"}}, true, 2, 2, 1},
        {113, 1, 1, 1, {1028, 1030}, {{1029, "1"}, {1031, "1"}}, false, 1, 1, 1},
        {114, 3, 2, 0, {1034, 1031}, {}, true, 3, 2, 0},
        {114, 1, 1, 1, {1028, 1030, 1042}, {{1034, "1"}, {1042, "0"}}, true, 3, 1, 0},
        {114, 2, 1, 0, {1029, 1030}, {{1028, "1"}, {1042, "1"}}, false, 2, 1, 0},
        {114, 1, 1, 4, {1028, 1030, 1042}, {{1031, "1"}}, true, 1, 2, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.templateId);
        a.showHandlingCase = c.handling;
        a.showViewCase = c.view;
        a.boundsIncluded = c.bounds;
        a.fixedUpperBound = 0;
        a.dialogAccepted = 7;
        answer(c.templateId, c.ok, c.clicks);
        runDialogTemplate(a, c.templateId);
        EXPECT_EQ(shownChecked(), c.checked);
        EXPECT_EQ(a.showHandlingCase, c.storedHandling);
        EXPECT_EQ(a.showViewCase, c.storedView);
        EXPECT_EQ(a.boundsIncluded, c.storedBounds);
        EXPECT_EQ(a.dialogAccepted, 7);
    }
    EXPECT_EQ(host.dialogsShown()[0].find(1034), nullptr);
    EXPECT_EQ(host.dialogsShown()[0].find(1042), nullptr);
}

TEST(DialogRequest, ButtonsAreSetAsTheUserSetsThem) {
    DialogRequest r = makeDialogRequest(*findDialogTemplate(114));
    r.find(1028)->checked = true;
    EXPECT_TRUE(r.setChecked(1029, true));
    EXPECT_FALSE(r.find(1028)->checked);
    EXPECT_TRUE(r.find(1029)->checked);
    EXPECT_TRUE(r.setChecked(1029, true));  // a click on the checked button is a click
    EXPECT_TRUE(r.setChecked(1030, true));  // another group stays as it is
    EXPECT_TRUE(r.find(1029)->checked);
    EXPECT_TRUE(r.setChecked(1032, false));  // unchanged check box: no click
    EXPECT_TRUE(r.setChecked(1032, true));
    EXPECT_TRUE(r.setChecked(1030, false));  // unchecking a radio button is not a click
    EXPECT_FALSE(r.find(1030)->checked);
    EXPECT_FALSE(r.setChecked(1033, true));  // an edit control
    EXPECT_FALSE(r.setChecked(4242, true));
    EXPECT_EQ(r.clicks, (std::vector<int>{1029, 1029, 1030, 1032}));

    DialogRequest s = makeDialogRequest(*findDialogTemplate(111));
    s.find(1020)->enabled = false;
    EXPECT_FALSE(s.setChecked(1020, true));
}

TEST_F(DialogsTest, HeadlessAnswersTouchOnlyWhatAUserCouldChange) {
    a.wRangeFrom = 1;
    a.wRangeTo = 2;
    answer(106, true, {{1008, "changed caption"}, {4242, "1"}, {1007, "5"}});
    seriesStructureDialog(a);
    EXPECT_EQ(a.wEnteredPulses, 5);
    // Without a queued answer a dialog is closed with OK and the values it showed.
    a.wPulsesInSeries = 9;
    seriesStructureDialog(a);
    EXPECT_EQ(a.wEnteredPulses, 9);
    EXPECT_EQ(host.dialogsShown().size(), 2u);
}

}  // namespace
}  // namespace app
