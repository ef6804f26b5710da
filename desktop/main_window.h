#pragma once
// The main window of the Qt program and its window-system host: the menu bar, the client area
// with the persistent picture, message boxes, the parameter dialogs and the save-file dialog,
// all owned by this window. Every window event goes to the program's message routing
// (app::mainWindowProc); the exit sequence runs once, when the window closes.

#include <functional>
#include <memory>

#include <QMainWindow>

#include "app/app_settings.h"
#include "app/window_proc.h"
#include "platform/host_window.h"

namespace desktop {

class ClientArea;
class MenuBar;

class MainWindow : public QMainWindow, public platform::HostWindow {
    Q_OBJECT
  public:
    // Where the button bitmaps come from: by resource name, nothing when one cannot be loaded.
    using BitmapLoader = std::function<std::optional<platform::Bitmap>(std::string_view)>;

    MainWindow(app::AppSettings& app, BitmapLoader loader, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Window creation: runs the program's start-up. False when it refused the window (a
    // missing bitmap, after its message box).
    bool create();
    // Shows the window maximized and paints it at once.
    void showMaximizedAndPaint();

    // Sends a message to the program; nothing once the window has been destroyed.
    int32_t send(app::WindowMessage message);
    bool destroyed() const { return destroyed_; }

    // What postQuit does (by default it ends the application's event loop).
    void setQuitHandler(std::function<void(int)> quit) { quit_ = std::move(quit); }

    ClientArea* clientArea() const { return client_; }
    MenuBar* menus() const { return menus_.get(); }

    // platform::Window
    void messageBox(std::string_view text, std::string_view title, platform::MessageIcon icon,
                    platform::MessageButtons buttons) override;

    // platform::HostWindow
    platform::Rect clientRect() const override;
    void invalidateRect(const platform::Rect* rect, bool erase) override;
    void requestClose() override;
    void postQuit(int exitCode) override;
    void checkMenuItem(int id, bool checked) override;
    bool menuItemChecked(int id) const override;
    std::optional<platform::Bitmap> loadBitmap(std::string_view resourceName) override;
    void createEditControl(int id, std::string_view title) override;
    void moveEditControl(int id, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void showEditControl(int id, bool visible) override;
    std::string editText(int id) const override;
    void setEditText(int id, std::string_view text) override;
    platform::CursorShape setCursor(platform::CursorShape shape) override;
    void captureMouse() override;
    void releaseMouse() override;
    bool runDialog(platform::DialogRequest& request) override;
    std::optional<std::string> chooseSaveFile(const platform::SaveFileRequest& request) override;
    platform::Bitmap capturePicture() const override;
    void runWithProgress(std::string_view title, const ProgressWork& work) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void showMessageBox(const std::string& text, const std::string& title,
                        platform::MessageIcon icon);
    void destroyOnce();

    app::AppSettings& app_;
    BitmapLoader loader_;
    ClientArea* client_ = nullptr;
    std::unique_ptr<MenuBar> menus_;
    std::function<void(int)> quit_;
    bool created_ = false;
    bool destroyed_ = false;
};

// The application's names: "Ardentix" as application name, desktop file name and X11 window
// class. Call before the QApplication is made (the class name) and after (the names).
void setApplicationNamesBeforeStart();
void setApplicationNames();

}  // namespace desktop
