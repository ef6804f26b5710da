#pragma once
// A modal Qt dialog built from a parameter dialog template: group boxes, labels, line edits,
// radio buttons in exclusive groups, check boxes, disabled controls and OK / Cancel. Every
// control's object name is its id. The dialog shows the values of a request and hands the
// user's clicks and texts back to it; the dialog procedures do the rest.

#include "app/dialog_templates.h"
#include "platform/host_window.h"

class QWidget;

namespace desktop {

// Shows `request` modally over `owner`; true for OK. Enter is OK, Escape is Cancel; the first
// enabled edit control has the focus.
bool runTemplateDialog(QWidget* owner, const app::DialogTemplate& dialog,
                       platform::DialogRequest& request);

}  // namespace desktop
