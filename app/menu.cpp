#include "menu.h"

namespace app {

namespace {

MenuEntry item(int id, std::string caption, bool checkable = false) {
    return {MenuEntryKind::Command, id, std::move(caption), checkable, false, {}};
}
MenuEntry separator() {
    return {MenuEntryKind::Separator, 0, {}, false, false, {}};
}
MenuEntry popup(std::string caption, std::vector<MenuEntry> entries, bool rightEdge = false) {
    return {MenuEntryKind::Popup, 0, std::move(caption), false, rightEdge, std::move(entries)};
}

std::vector<MenuEntry> makeMenu() {
    return {
        popup(" File",
              {
                  item(40002, " New pulses... "),
                  item(40001, " Create series... "),
                  separator(),
                  item(40031, " View series parameters..."),
                  separator(),
                  item(40016, " Select set of pulses"),
                  separator(),
                  item(40003, " Save image as..."),
                  separator(),
                  item(40004, " Exit"),
              }),
        popup(" Processing",
              {
                  item(40017, " Processing Same Data"),
                  item(40018, " Processing Next Data "),
                  separator(),
                  item(40019, " More details"),
                  item(40020, " Type more detales"),
                  separator(),
                  item(40021, " Fixed case"),
                  item(40022, " Unfixed case"),
                  separator(),
                  item(40012, " Statistical Simulation"),
                  item(40015, " Show Statistical Simulation"),
                  separator(),
                  item(40023, " Repeat Detection"),
                  item(40024, " Repeat Recognition"),
                  item(40025, " Repeat Joint Detection and Discrimination"),
                  item(40026, " Repeat Series Processing"),
              }),
        popup(" Settings",
              {
                  popup(" Select Task Type",
                        {
                            item(40005, " Detection", true),
                            item(40006, " Recognition", true),
                            item(40007, " Joint Detection and Discrimination", true),
                            item(40027, " Series Processing", true),
                        }),
                  popup(" Select Series Type",
                        {
                            item(40008, " Fixed Number of Whole Pulses", true),
                            item(40009, " Unfixed Number of Whole Pulses", true),
                            item(40010, " Fixed Number of Cutoffs Pulses", true),
                            item(40011, " Unfuxed Number of Cutoffs Pulses", true),
                            item(40028, " Fixed Number of Whole Pulses Tuples ", true),
                            item(40032, " Unfixed Number of Whole Pulses Tuples ", true),
                        }),
                  separator(),
                  item(40029, " Subset settings ..."),
                  separator(),
                  item(40030, " Drawing settings ..."),
              }),
        popup(" Else One",
              {
                  item(40014, " Create Series..."),
                  item(40033, " Debugging repeat "),
              },
              true),
    };
}

const MenuEntry* findIn(const std::vector<MenuEntry>& entries, int id) {
    for (const MenuEntry& e : entries) {
        if (e.kind == MenuEntryKind::Command && e.id == id)
            return &e;
        if (e.kind == MenuEntryKind::Popup)
            if (const MenuEntry* found = findIn(e.entries, id))
                return found;
    }
    return nullptr;
}

void collectIds(const std::vector<MenuEntry>& entries, std::vector<int>& ids) {
    for (const MenuEntry& e : entries) {
        if (e.kind == MenuEntryKind::Command)
            ids.push_back(e.id);
        else if (e.kind == MenuEntryKind::Popup)
            collectIds(e.entries, ids);
    }
}

}  // namespace

const std::vector<MenuEntry>& mainMenu() {
    static const std::vector<MenuEntry> menu = makeMenu();
    return menu;
}

const MenuEntry* findMenuCommand(int id) {
    return findIn(mainMenu(), id);
}

std::vector<int> menuCommandIds() {
    std::vector<int> ids;
    collectIds(mainMenu(), ids);
    return ids;
}

}  // namespace app
