#include "menu.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace app {
namespace {

// A popup's entries written as one line: ids, "|" for separators, "[caption]" for popups.
std::string outline(const std::vector<MenuEntry>& entries) {
    std::string s;
    for (const MenuEntry& e : entries) {
        if (!s.empty())
            s += ' ';
        if (e.kind == MenuEntryKind::Separator)
            s += '|';
        else if (e.kind == MenuEntryKind::Popup)
            s += '[' + e.caption + ']';
        else
            s += std::to_string(e.id);
    }
    return s;
}

TEST(Menu, PopupsSeparatorsAndNesting) {
    const auto& menu = mainMenu();
    ASSERT_EQ(menu.size(), 4u);
    EXPECT_EQ(menu[0].caption, " File");
    EXPECT_EQ(outline(menu[0].entries), "40002 40001 | 40031 | 40016 | 40003 | 40004");
    EXPECT_EQ(menu[1].caption, " Processing");
    EXPECT_EQ(outline(menu[1].entries),
              "40017 40018 | 40019 40020 | 40021 40022 | 40012 40015 | 40023 40024 40025 40026");
    EXPECT_EQ(menu[2].caption, " Settings");
    EXPECT_EQ(outline(menu[2].entries),
              "[ Select Task Type] [ Select Series Type] | 40029 | 40030");
    EXPECT_EQ(outline(menu[2].entries[0].entries), "40005 40006 40007 40027");
    EXPECT_EQ(outline(menu[2].entries[1].entries), "40008 40009 40010 40011 40028 40032");
    EXPECT_EQ(menu[3].caption, " Else One");
    EXPECT_EQ(outline(menu[3].entries), "40014 40033");
    for (size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(menu[i].kind, MenuEntryKind::Popup);
        EXPECT_EQ(menu[i].rightEdge, i == 3);
    }
}

TEST(Menu, CaptionsAsWritten) {
    const std::vector<std::pair<int, std::string>> captions = {
        {40002, " New pulses... "},
        {40001, " Create series... "},
        {40031, " View series parameters..."},
        {40016, " Select set of pulses"},
        {40003, " Save image as..."},
        {40004, " Exit"},
        {40017, " Processing Same Data"},
        {40018, " Processing Next Data "},
        {40019, " More details"},
        {40020, " Type more detales"},
        {40021, " Fixed case"},
        {40022, " Unfixed case"},
        {40012, " Statistical Simulation"},
        {40015, " Show Statistical Simulation"},
        {40023, " Repeat Detection"},
        {40024, " Repeat Recognition"},
        {40025, " Repeat Joint Detection and Discrimination"},
        {40026, " Repeat Series Processing"},
        {40005, " Detection"},
        {40006, " Recognition"},
        {40007, " Joint Detection and Discrimination"},
        {40027, " Series Processing"},
        {40008, " Fixed Number of Whole Pulses"},
        {40009, " Unfixed Number of Whole Pulses"},
        {40010, " Fixed Number of Cutoffs Pulses"},
        {40011, " Unfuxed Number of Cutoffs Pulses"},
        {40028, " Fixed Number of Whole Pulses Tuples "},
        {40032, " Unfixed Number of Whole Pulses Tuples "},
        {40029, " Subset settings ..."},
        {40030, " Drawing settings ..."},
        {40014, " Create Series..."},
        {40033, " Debugging repeat "},
    };
    std::vector<int> ids;
    for (const auto& [id, caption] : captions) {
        const MenuEntry* e = findMenuCommand(id);
        ASSERT_NE(e, nullptr) << id;
        EXPECT_EQ(e->caption, caption);
        EXPECT_EQ(e->caption.find('&'), std::string::npos);
        ids.push_back(id);
    }
    // Every menu command once, in menu order; 40013 is not in the menu.
    EXPECT_EQ(menuCommandIds(), ids);
    EXPECT_EQ(findMenuCommand(40013), nullptr);
    EXPECT_EQ(findMenuCommand(205), nullptr);
}

TEST(Menu, OnlyTheTaskAndSeriesItemsAreCheckable) {
    const std::set<int> checkable = {40005, 40006, 40007, 40027, 40008,
                                     40009, 40010, 40011, 40028, 40032};
    for (int id : menuCommandIds())
        EXPECT_EQ(findMenuCommand(id)->checkable, checkable.count(id) == 1) << id;
}

}  // namespace
}  // namespace app
