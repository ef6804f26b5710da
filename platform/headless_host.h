#pragma once
// The window system without a window: it keeps the client picture, the region waiting to be
// repainted, the menu marks, the edit controls, the cursor and the capture, answers dialogs from
// a queue and records every request in a log. Used by the batch tool and by tests.

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host_window.h"

namespace platform {

class HeadlessHost : public HostWindow {
  public:
    using BitmapLoader = std::function<std::optional<Bitmap>(std::string_view)>;

    // A client area of width x height; message boxes are printed to stderr as "title: text"
    // when `printMessages` is set; bitmaps come from `loader`.
    HeadlessHost(int32_t width, int32_t height, bool printMessages, BitmapLoader loader);

    // Window
    void messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                    MessageButtons buttons) override;
    std::vector<Message> messages() const { return messages_.messages(); }

    // HostWindow
    Rect clientRect() const override { return Rect{0, 0, picture_.width, picture_.height}; }
    void invalidateRect(const Rect* rect, bool erase) override;
    void requestClose() override;
    void postQuit(int exitCode) override;
    void checkMenuItem(int id, bool checked) override;
    bool menuItemChecked(int id) const override { return checkedItems_.count(id) > 0; }
    std::optional<Bitmap> loadBitmap(std::string_view resourceName) override;
    void createEditControl(int id, std::string_view title) override;
    void moveEditControl(int id, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void showEditControl(int id, bool visible) override;
    std::string editText(int id) const override;
    void setEditText(int id, std::string_view text) override;
    CursorShape setCursor(CursorShape shape) override;
    void captureMouse() override;
    void releaseMouse() override;
    bool runDialog(DialogRequest& request) override;
    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override;
    Bitmap capturePicture() const override { return picture_; }

    // The host's side.
    Bitmap& picture() { return picture_; }
    bool needsPaint() const { return !invalid_.empty(); }
    // Starts a paint: fills the parts invalidated with erase with white and hands over the region
    // to repaint (right and bottom exclusive), which is then empty again.
    std::vector<Rect> beginPaint();
    // A new client size: a white picture, all of it to repaint.
    void resize(int32_t width, int32_t height);

    bool closeRequested() const { return closeRequested_; }
    bool quitPosted() const { return quitPosted_; }
    int exitCode() const { return exitCode_; }

    struct EditControl {
        std::string title;
        int32_t x = 0, y = 0, width = 0, height = 0;
        bool visible = false;
        std::string text;
    };
    const std::map<int, EditControl>& editControls() const { return edits_; }
    std::vector<int> checkedMenuItems() const {
        return {checkedItems_.begin(), checkedItems_.end()};
    }
    CursorShape cursor() const { return cursor_; }
    bool mouseCaptured() const { return captured_; }

    // The answer to the next opening of a dialog template: OK or Cancel, and control values
    // (by id) to set before closing, in order: the text of an edit control, or the state of a
    // button (checked, or a non-zero text); checking a radio button unchecks the others of its
    // group. Disabled controls and captions keep what they showed. Without an answer a dialog
    // is closed with OK as shown.
    struct DialogAnswer {
        bool ok = true;
        std::vector<DialogControl> values;
    };
    void queueDialogAnswer(int templateId, DialogAnswer answer);
    // The name for the next save-file dialog; without one the dialog is cancelled.
    void queueSaveFileName(std::string name);
    // Every dialog shown, with the values it showed at opening.
    const std::vector<DialogRequest>& dialogsShown() const { return dialogsShown_; }

    // What the program asked of the window system, one line per request.
    const std::vector<std::string>& log() const { return log_; }

  private:
    Rect clipped(const Rect& r) const;

    Bitmap picture_;
    BitmapLoader loader_;
    ConsoleWindow messages_;
    std::vector<Rect> invalid_;
    std::vector<Rect> erase_;
    std::set<int> checkedItems_;
    std::map<int, EditControl> edits_;
    CursorShape cursor_ = CursorShape::Arrow;
    bool captured_ = false;
    bool closeRequested_ = false;
    bool quitPosted_ = false;
    int exitCode_ = 0;
    std::map<int, std::deque<DialogAnswer>> dialogAnswers_;
    std::deque<std::string> saveNames_;
    std::vector<DialogRequest> dialogsShown_;
    std::vector<std::string> log_;
};

}  // namespace platform
