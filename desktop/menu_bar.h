#pragma once
// The Qt menu bar built from the program's menu: one action per command with the id as its
// data and object name, check marks only where the program sets them, " Else One" at the
// right edge of the bar.

#include <functional>
#include <map>

class QAction;
class QMenuBar;
class QWidget;

namespace desktop {

class MenuBar {
  public:
    // Fills `bar`; `onCommand` receives the id of each triggered item.
    MenuBar(QMenuBar* bar, std::function<void(int)> onCommand);

    void check(int id, bool checked);
    bool checked(int id) const;
    QAction* action(int id) const;
    // The menu bar at the right edge that holds " Else One".
    QMenuBar* rightBar() const { return rightBar_; }

  private:
    std::map<int, QAction*> actions_;
    QMenuBar* rightBar_ = nullptr;
};

}  // namespace desktop
