#pragma once
// The main window's client area: it owns the persistent picture of the program (an RGB32 image
// in logical pixels), keeps the region waiting to be repainted and the parts of it to erase,
// lets the program's paint driver redraw that region into the picture and shows the picture.
// It turns the left button, the mouse moves and the keys into the program's window messages,
// and holds the child edit controls.

#include <functional>
#include <map>
#include <vector>

#include <QImage>
#include <QWidget>

#include "app/window_proc.h"
#include "platform/host_window.h"

class QLineEdit;

namespace desktop {

class ClientArea : public QWidget {
    Q_OBJECT
  public:
    using Sender = std::function<void(const app::WindowMessage&)>;

    // Messages go to `send` (an empty function drops them).
    explicit ClientArea(Sender send, QWidget* parent = nullptr);

    void setSender(Sender send) { send_ = std::move(send); }

    // Adds `rect` (right and bottom exclusive; null: the whole area) to the region to repaint,
    // with `erase` filled white before the paint, and asks Qt for the paint.
    void invalidate(const platform::Rect* rect, bool erase);
    // Lets the paint driver redraw the waiting region now (the paint event does the same).
    void paintPending();
    bool hasPendingPaint() const { return !invalid_.empty(); }
    // How many times the paint driver has drawn.
    int paintCount() const { return paintCount_; }

    const QImage& picture() const { return picture_; }
    platform::Bitmap capturePicture() const;

    // The child edit controls.
    void createEdit(int id);
    void moveEdit(int id, int32_t x, int32_t y, int32_t width, int32_t height);
    void showEdit(int id, bool visible);
    std::string editText(int id) const;
    void setEditText(int id, std::string_view text);
    QLineEdit* edit(int id) const;

    platform::CursorShape setCursorShape(platform::CursorShape shape);
    platform::CursorShape cursorShape() const { return cursor_; }
    void capture();
    void release();
    bool captured() const { return captured_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void send(const app::WindowMessage& m);
    void sendMouse(app::WindowMessageId id, QMouseEvent* event);

    Sender send_;
    QImage picture_;
    std::vector<platform::Rect> invalid_;
    std::vector<platform::Rect> erase_;
    int paintCount_ = 0;
    std::map<int, QLineEdit*> edits_;
    platform::CursorShape cursor_ = platform::CursorShape::Arrow;
    bool captured_ = false;
};

}  // namespace desktop
