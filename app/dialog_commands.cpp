#include "commands.h"

namespace app {

// The dialog, simulation and file commands are not handled yet: their ids do nothing.
bool onDialogCommand(AppSettings&, int) {
    return false;
}

}  // namespace app
