#include "button_bitmaps.h"

#include <QFont>
#include <QImage>
#include <QPainter>

namespace desktop {

namespace {

const char* captionOf(std::string_view name) {
    if (name == "ButtonExit")
        return "Exit";
    if (name == "IDB_BITMAP1")
        return "Next";
    if (name == "IDB_BITMAP5")
        return "Select All";
    if (name == "IDB_BITMAP4")
        return "Unselect All";
    if (name == "ButtonStart")
        return "Restart";
    return nullptr;
}

}  // namespace

std::optional<platform::Bitmap> drawButtonBitmap(std::string_view name) {
    const char* caption = captionOf(name);
    if (!caption)
        return std::nullopt;
    constexpr int W = 144, H = 32;
    // Colours of the 16-colour palette only: black, dark grey, light grey, white.
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter p(&image);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(0, 0, W - 1, H - 1);
    p.setPen(Qt::white);
    p.drawLine(1, 1, W - 3, 1);
    p.drawLine(1, 1, 1, H - 3);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(2, H - 2, W - 2, H - 2);
    p.drawLine(W - 2, 2, W - 2, H - 2);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 0, W, H), Qt::AlignCenter, QString::fromLatin1(caption));
    p.end();
    platform::Bitmap b(W, H);
    for (int y = 0; y < H; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < W; ++x)
            b.at(x, y) = row[x] & 0xFFFFFFu;
    }
    return b;
}

BitmapLoader buttonBitmapLoader() {
    return drawButtonBitmap;
}

}  // namespace desktop
