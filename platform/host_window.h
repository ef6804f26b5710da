#pragma once
// What the program asks of the window system besides message boxes: repaint requests, the close
// request, menu check marks, the button bitmaps, the child edit control, cursors, mouse capture,
// the modal dialogs and the save-file dialog. The Qt program and the headless host implement it.
// Call only from the window's thread (message boxes excepted, see Window).

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geometry.h"
#include "window.h"

namespace platform {

enum class CursorShape { Arrow, SizeVertical, SizeDiagonal };

// The kinds of dialog controls. Push buttons (OK, Cancel) close the dialog and are not part of
// a request.
enum class DialogControlKind { Edit, Static, Radio, CheckBox, PushButton };

// One control of a modal dialog as the program fills it and reads it back.
struct DialogControl {
    int id = 0;
    std::string text;      // edit controls and captions
    bool checked = false;  // radio buttons and check boxes
    DialogControlKind kind = DialogControlKind::Edit;
    int group = 0;        // radio buttons of the same group exclude each other
    bool enabled = true;  // a disabled control cannot be changed by the user
};

// A modal dialog: the template id, and the controls with the values shown at opening; the host
// returns true for OK, false for Cancel, and the controls as the user left them. Hosts report
// the user's clicks on radio buttons and check boxes through setChecked, which keeps a radio
// group exclusive and records the clicks in order: the dialog procedures follow the clicks, as
// they would follow the button notifications of a live dialog.
struct DialogRequest {
    int templateId = 0;
    std::vector<DialogControl> controls;
    std::vector<int> clicks;  // ids of the buttons clicked, in order

    DialogControl* find(int id) {
        for (auto& c : controls)
            if (c.id == id)
                return &c;
        return nullptr;
    }
    const DialogControl* find(int id) const {
        for (const auto& c : controls)
            if (c.id == id)
                return &c;
        return nullptr;
    }

    // The user sets a button: a radio button set to checked becomes the one checked button of
    // its group (a click, also when it was checked already); a check box that changes state is
    // clicked. Unchecking a radio button unchecks it without a click. False when `id` is not
    // an enabled button of this dialog.
    bool setChecked(int id, bool checked) {
        DialogControl* c = find(id);
        if (!c || !c->enabled ||
            (c->kind != DialogControlKind::Radio && c->kind != DialogControlKind::CheckBox))
            return false;
        if (c->kind == DialogControlKind::CheckBox) {
            if (c->checked != checked)
                clicks.push_back(id);
            c->checked = checked;
            return true;
        }
        if (!checked) {
            c->checked = false;
            return true;
        }
        for (auto& other : controls)
            if (other.kind == DialogControlKind::Radio && other.group == c->group)
                other.checked = false;
        c->checked = true;
        clicks.push_back(id);
        return true;
    }
};

// The save-file dialog's settings: title, filter pairs (caption, pattern), default extension.
struct SaveFileRequest {
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters;
    std::string defaultExtension;
    bool overwritePrompt = true;
};

class HostWindow : public Window {
  public:
    // Client size: left and top 0, right = width, bottom = height.
    virtual Rect clientRect() const = 0;
    // Adds `rect` (right and bottom exclusive; null: the whole client area) to the region to
    // repaint; with `erase` that part is filled with the white background before the paint.
    virtual void invalidateRect(const Rect* rect, bool erase) = 0;
    // Asks the window to close; closing destroys it, which runs the exit sequence.
    virtual void requestClose() = 0;
    // Ends the message loop with `exitCode` once the current message is handled.
    virtual void postQuit(int exitCode) = 0;

    virtual void checkMenuItem(int id, bool checked) = 0;
    virtual bool menuItemChecked(int id) const = 0;

    // A button bitmap from the program's resources, or nothing when it cannot be loaded.
    virtual std::optional<Bitmap> loadBitmap(std::string_view resourceName) = 0;

    // The child edit control (one per id): created invisible with zero size.
    virtual void createEditControl(int id, std::string_view title) = 0;
    virtual void moveEditControl(int id, int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void showEditControl(int id, bool visible) = 0;
    virtual std::string editText(int id) const = 0;
    virtual void setEditText(int id, std::string_view text) = 0;

    // Sets the cursor shape and returns the previous one.
    virtual CursorShape setCursor(CursorShape shape) = 0;
    virtual void captureMouse() = 0;
    virtual void releaseMouse() = 0;

    // Shows a modal dialog owned by the window; true for OK.
    virtual bool runDialog(DialogRequest& request) = 0;
    // The save-file dialog; the chosen name, or nothing when cancelled.
    virtual std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) = 0;

    // A copy of the client area's current picture.
    virtual Bitmap capturePicture() const = 0;

    // Work that reports its progress (done of total) and stops between steps once `cancel` is
    // set, such as a simulation run.
    using ProgressCallback = std::function<void(uint64_t done, uint64_t total)>;
    using ProgressWork =
        std::function<void(const ProgressCallback& progress, const std::atomic<bool>& cancel)>;
    // Runs `work` to its end. A desktop host runs it on a worker thread behind a modal progress
    // window with a Cancel button, keeping the window responsive; this default runs it here.
    virtual void runWithProgress(std::string_view title, const ProgressWork& work) {
        (void)title;
        const std::atomic<bool> never{false};
        work([](uint64_t, uint64_t) {}, never);
    }
};

}  // namespace platform
