#include "client_area.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "render/image_surface.h"
#include "virtual_keys.h"

namespace desktop {

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr uint32_t kEditChange = 0x0300;  // the edit control's change notification

// The key-state flags of the mouse messages.
uint32_t keyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    uint32_t f = 0;
    if (buttons & Qt::LeftButton)
        f |= 0x0001;
    if (buttons & Qt::RightButton)
        f |= 0x0002;
    if (modifiers & Qt::ShiftModifier)
        f |= 0x0004;
    if (modifiers & Qt::ControlModifier)
        f |= 0x0008;
    if (buttons & Qt::MiddleButton)
        f |= 0x0010;
    return f;
}

QRect toQRect(const platform::Rect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Qt::CursorShape qtCursor(platform::CursorShape s) {
    switch (s) {
        case platform::CursorShape::SizeVertical:
            return Qt::SizeVerCursor;
        case platform::CursorShape::SizeDiagonal:
            // The interval lines of the parameter screen rise to the right.
            return Qt::SizeBDiagCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

ClientArea::ClientArea(Sender send, QWidget* parent) : QWidget(parent), send_(std::move(send)) {
    // Every paint draws the whole update rectangle from the picture: no background is needed,
    // and Qt's backing store keeps the screen from flickering.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
}

void ClientArea::send(const app::WindowMessage& m) {
    if (send_)
        send_(m);
}

void ClientArea::invalidate(const platform::Rect* rect, bool erase) {
    const int32_t w = picture_.width(), h = picture_.height();
    platform::Rect r = rect ? *rect : platform::Rect{0, 0, w, h};
    r = {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w), std::min(r.bottom, h)};
    if (r.empty())
        return;
    if (std::find(invalid_.begin(), invalid_.end(), r) == invalid_.end())
        invalid_.push_back(r);
    if (erase && std::find(erase_.begin(), erase_.end(), r) == erase_.end())
        erase_.push_back(r);
    update(toQRect(r));
}

void ClientArea::paintPending() {
    if (invalid_.empty() || picture_.isNull())
        return;
    const int32_t stride = static_cast<int32_t>(picture_.bytesPerLine() / 4);
    auto* bits = reinterpret_cast<uint32_t*>(picture_.bits());
    for (const platform::Rect& r : erase_)
        for (int32_t y = r.top; y < r.bottom; ++y)
            std::fill_n(bits + static_cast<std::ptrdiff_t>(y) * stride + r.left, r.right - r.left,
                        kWhite);
    erase_.clear();
    std::vector<platform::Rect> region;
    region.swap(invalid_);
    render::ImageSurface surface(bits, picture_.width(), picture_.height(), stride);
    surface.setClipRegion(region);
    app::WindowMessage m;
    m.id = app::WindowMessageId::Paint;
    m.surface = &surface;
    ++paintCount_;
    send(m);
}

void ClientArea::paintEvent(QPaintEvent* event) {
    // Parts of the region that this paint does not cover are shown by a later one.
    for (const platform::Rect& r : invalid_)
        if (!event->region().contains(toQRect(r)))
            update(toQRect(r));
    paintPending();
    QPainter p(this);
    // The picture has a device pixel ratio of 1: on a high-density screen Qt scales it up,
    // pixel for pixel, without smoothing.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const QRect& r : event->region())
        p.drawImage(r, picture_, r);
}

void ClientArea::resizeEvent(QResizeEvent*) {
    // A new size repaints everything, on a white picture.
    picture_ = QImage(width(), height(), QImage::Format_RGB32);
    picture_.fill(kWhite);
    invalid_.clear();
    erase_.clear();
    invalidate(nullptr, true);
}

platform::Bitmap ClientArea::capturePicture() const {
    platform::Bitmap b(picture_.width(), picture_.height());
    for (int y = 0; y < picture_.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(picture_.constScanLine(y));
        for (int x = 0; x < picture_.width(); ++x)
            b.at(x, y) = row[x] & 0xFFFFFFu;
    }
    return b;
}

void ClientArea::sendMouse(app::WindowMessageId id, QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    app::WindowMessage m;
    m.id = id;
    m.wParam = keyFlags(event->buttons(), event->modifiers());
    m.lParam = app::pointParam(p.x(), p.y());
    send(m);
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        sendMouse(app::WindowMessageId::LeftButtonDown, event);
}

void ClientArea::mouseDoubleClickEvent(QMouseEvent* event) {
    // The window class asks for no double clicks: a quick second press is a plain press.
    if (event->button() == Qt::LeftButton)
        sendMouse(app::WindowMessageId::LeftButtonDown, event);
}

void ClientArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        sendMouse(app::WindowMessageId::LeftButtonUp, event);
}

void ClientArea::mouseMoveEvent(QMouseEvent* event) {
    sendMouse(app::WindowMessageId::MouseMove, event);
}

void ClientArea::keyPressEvent(QKeyEvent* event) {
    app::WindowMessage m;
    m.id = app::WindowMessageId::KeyDown;
    m.wParam = virtualKeyCode(event->key());
    send(m);
}

void ClientArea::createEdit(int id) {
    if (edits_.count(id))
        return;
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::number(id));
    e->setGeometry(0, 0, 0, 0);
    e->hide();
    connect(e, &QLineEdit::textChanged, this, [this, id] {
        app::WindowMessage m;
        m.id = app::WindowMessageId::Command;
        m.wParam = kEditChange << 16 | static_cast<uint32_t>(id);
        send(m);
    });
    edits_[id] = e;
}

QLineEdit* ClientArea::edit(int id) const {
    auto it = edits_.find(id);
    return it == edits_.end() ? nullptr : it->second;
}

void ClientArea::moveEdit(int id, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (QLineEdit* e = edit(id))
        e->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
}

void ClientArea::showEdit(int id, bool visible) {
    if (QLineEdit* e = edit(id))
        e->setVisible(visible);
}

std::string ClientArea::editText(int id) const {
    QLineEdit* e = edit(id);
    return e ? e->text().toStdString() : std::string();
}

void ClientArea::setEditText(int id, std::string_view text) {
    if (QLineEdit* e = edit(id))
        e->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

platform::CursorShape ClientArea::setCursorShape(platform::CursorShape shape) {
    const platform::CursorShape old = cursor_;
    cursor_ = shape;
    setCursor(qtCursor(shape));
    return old;
}

void ClientArea::capture() {
    captured_ = true;
    if (isVisible())
        grabMouse();
}

void ClientArea::release() {
    if (captured_ && isVisible())
        releaseMouse();
    captured_ = false;
}

}  // namespace desktop
