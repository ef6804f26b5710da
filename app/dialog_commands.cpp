#include "commands.h"
#include "snapshot.h"

namespace app {

// The dialog, simulation and file commands. Those not handled yet do nothing.
bool onDialogCommand(AppSettings& a, int id) {
    switch (id) {
        case kCmdSaveImage:
            saveSnapshot(a);
            return true;
        default:
            return false;
    }
}

}  // namespace app
