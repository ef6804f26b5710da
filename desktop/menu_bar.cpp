#include "menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/menu.h"

namespace desktop {

namespace {

QString caption(const app::MenuEntry& e) {
    return QString::fromStdString(e.caption);
}

}  // namespace

MenuBar::MenuBar(QMenuBar* bar, std::function<void(int)> onCommand) {
    // The bar stays in the window (no global menu), so that " Else One" can sit at its right.
    bar->setNativeMenuBar(false);
    std::function<void(QMenu*, const std::vector<app::MenuEntry>&)> fill =
        [&](QMenu* menu, const std::vector<app::MenuEntry>& entries) {
            for (const app::MenuEntry& e : entries) {
                switch (e.kind) {
                    case app::MenuEntryKind::Separator:
                        menu->addSeparator();
                        break;
                    case app::MenuEntryKind::Popup: {
                        QMenu* sub = menu->addMenu(caption(e));
                        sub->setObjectName(caption(e));
                        fill(sub, e.entries);
                        break;
                    }
                    case app::MenuEntryKind::Command: {
                        QAction* a = menu->addAction(caption(e));
                        const int id = e.id;
                        a->setData(id);
                        a->setObjectName(QString::number(id));
                        a->setMenuRole(QAction::NoRole);
                        a->setCheckable(e.checkable);
                        // The program sets every check mark itself: the toggle that Qt makes
                        // on triggering is taken back before the command runs.
                        QObject::connect(a, &QAction::triggered, a, [a, id, onCommand](bool on) {
                            if (a->isCheckable())
                                a->setChecked(!on);
                            onCommand(id);
                        });
                        actions_[id] = a;
                        break;
                    }
                }
            }
        };
    for (const app::MenuEntry& popup : app::mainMenu()) {
        QMenu* menu = new QMenu(caption(popup), bar);
        menu->setObjectName(caption(popup));
        fill(menu, popup.entries);
        if (popup.rightEdge) {
            if (!rightBar_) {
                rightBar_ = new QMenuBar(bar);
                rightBar_->setNativeMenuBar(false);
                rightBar_->setObjectName(QStringLiteral("rightMenuBar"));
                bar->setCornerWidget(rightBar_, Qt::TopRightCorner);
            }
            rightBar_->addMenu(menu);
        } else {
            bar->addMenu(menu);
        }
    }
}

void MenuBar::check(int id, bool on) {
    QAction* a = action(id);
    if (!a)
        return;
    if (on)
        a->setCheckable(true);
    a->setChecked(on);
}

bool MenuBar::checked(int id) const {
    const QAction* a = action(id);
    return a && a->isChecked();
}

QAction* MenuBar::action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

}  // namespace desktop
