#pragma once
// The main window's menu (resource 104) as data: the popups of the menu bar in order, their
// items with ids and captions exactly as shown (leading and trailing blanks are part of the
// captions), the separators and nested popups, and which items carry check marks. The Qt
// program builds its menu bar from it; scripts can check command ids against it.

#include <string>
#include <vector>

namespace app {

enum class MenuEntryKind { Command, Separator, Popup };

struct MenuEntry {
    MenuEntryKind kind = MenuEntryKind::Command;
    int id = 0;  // command id; 0 for separators and popups
    std::string caption;
    bool checkable = false;          // the series-type and task items
    bool rightEdge = false;          // a popup placed at the right edge of the menu bar
    std::vector<MenuEntry> entries;  // a popup's entries
};

// The four popups of the menu bar, left to right.
const std::vector<MenuEntry>& mainMenu();

// The command entry with `id` anywhere in the menu, or null.
const MenuEntry* findMenuCommand(int id);

// Every command id of the menu, in menu order.
std::vector<int> menuCommandIds();

}  // namespace app
