#pragma once
// Long work behind a modal progress window: the work runs on a worker thread while the window's
// thread shows the steps done of all, the percentage, the elapsed and the estimated remaining
// time, and a Cancel button that asks the work to stop between its steps. The window stays
// responsive and repaints throughout.

#include <QWidget>

#include "platform/host_window.h"

namespace desktop {

// Returns once the work has ended (completed or stopped).
void runWithProgressDialog(QWidget* owner, std::string_view title,
                           const platform::HostWindow::ProgressWork& work);

// "H:MM:SS" of whole seconds.
QString clockText(qint64 seconds);

}  // namespace desktop
