// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <vector>

namespace msgdesk {

// How each command appears: menu text (with accelerator mark), tool bar
// text, shortcut, icon resource. Texts are UTF-8.
struct CommandSpec {
    int id;
    const char* menuText;
    const char* toolText;  // null: not on the tool bar
    const char* shortcut;  // null: none
    const char* icon;      // resource name, null: none
};

struct MenuSpec {
    const char* title;
    std::vector<int> items;  // 0 = separator; negative = submenu index into submenus()
};

const std::vector<CommandSpec>& commandSpecs();
const CommandSpec* findCommand(int id);
// The tool bar's 12 commands in order.
const std::vector<int>& toolbarCommands();
// The menu bar, left to right.
const std::vector<MenuSpec>& menuBar();
// Items appended to menus of the bar after their own, behind a separator.
const std::vector<MenuSpec>& addedMenuItems();
// Submenus referred to by negative items (-1 is index 0).
const std::vector<MenuSpec>& submenus();

}  // namespace msgdesk
