// The client area on its own: the persistent picture, erasing, clipping to the region being
// repainted, repaint requests made while painting, resizing, and the mouse and key messages.

#include <vector>

#include <QLineEdit>
#include <QTest>

#include "client_area.h"
#include "render/surface.h"
#include "test_support.h"
#include "virtual_keys.h"

using desktop::ClientArea;
using platform::Rect;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF;

uint32_t pixel(const ClientArea& c, int x, int y) {
    return c.picture().pixel(x, y) & 0xFFFFFFu;
}

}  // namespace

class ClientAreaTest : public QObject {
    Q_OBJECT

    std::vector<app::WindowMessage> messages;
    // What a paint message does: fill the whole surface with a colour (the clip region keeps
    // it to the region being repainted), or nothing.
    uint32_t fill = kRed;
    std::function<void()> duringPaint;

    ClientArea* makeArea(QWidget* parent = nullptr) {
        auto* c = new ClientArea(
            [this](const app::WindowMessage& m) {
                messages.push_back(m);
                if (m.id == app::WindowMessageId::Paint && m.surface) {
                    if (fill)
                        m.surface->fillRect(Rect{0, 0, 4000, 4000}, platform::pixelToColour(fill));
                    if (duringPaint) {
                        auto f = std::move(duringPaint);
                        duringPaint = nullptr;
                        f();
                    }
                }
            },
            parent);
        c->resize(100, 80);
        return c;
    }

  private slots:
    void initTestCase() { desktop::test::quietPlatformNotices(); }

    void init() {
        messages.clear();
        fill = kRed;
        duringPaint = nullptr;
    }

    void paintsOnlyTheInvalidRegionAndKeepsTheRest() {
        std::unique_ptr<ClientArea> c(makeArea());
        c->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.get()));
        QVERIFY(desktop::test::waitForPaint(c.get()));
        QCOMPARE(pixel(*c, 0, 0), kRed);  // showing repaints everything
        QCOMPARE(pixel(*c, 99, 79), kRed);

        // Erased and repainted by a paint that draws nothing: white; invalidated without
        // erase: the old pixels stay.
        fill = 0;
        const Rect erased{10, 10, 20, 20}, kept{50, 50, 60, 60};
        c->invalidate(&erased, true);
        c->invalidate(&kept, false);
        c->invalidate(&erased, true);  // the same rectangle twice is kept once
        QVERIFY(c->hasPendingPaint());
        QVERIFY(desktop::test::waitForPaint(c.get()));
        QCOMPARE(pixel(*c, 10, 10), kWhite);
        QCOMPARE(pixel(*c, 19, 19), kWhite);
        QCOMPARE(pixel(*c, 20, 20), kRed);  // right and bottom are exclusive
        QCOMPARE(pixel(*c, 9, 10), kRed);
        QCOMPARE(pixel(*c, 55, 55), kRed);

        // A paint that fills everything changes only the region it was given.
        fill = kBlue;
        const Rect part{30, 5, 40, 15};
        c->invalidate(&part, false);
        QVERIFY(desktop::test::waitForPaint(c.get()));
        QCOMPARE(pixel(*c, 30, 5), kBlue);
        QCOMPARE(pixel(*c, 39, 14), kBlue);
        QCOMPARE(pixel(*c, 40, 14), kRed);
        QCOMPARE(pixel(*c, 15, 15), kWhite);

        // What is shown is the picture.
        const QImage shown = c->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.pixel(35, 10) & 0xFFFFFFu, kBlue);
        QCOMPARE(shown.pixel(15, 15) & 0xFFFFFFu, kWhite);
        QCOMPARE(shown.pixel(70, 70) & 0xFFFFFFu, kRed);

        // Rectangles are clipped to the area; outside it nothing waits.
        const Rect outside{200, 200, 300, 300};
        c->invalidate(&outside, true);
        QVERIFY(!c->hasPendingPaint());
        QCOMPARE(c->capturePicture().at(35, 10), kBlue);
    }

    void repaintRequestsMadeWhilePaintingAreNotLost() {
        std::unique_ptr<ClientArea> c(makeArea());
        c->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.get()));
        QVERIFY(desktop::test::waitForPaint(c.get()));
        fill = kBlue;
        duringPaint = [&c] {
            const Rect later{80, 60, 90, 70};
            c->invalidate(&later, true);
        };
        const Rect first{0, 0, 10, 10};
        c->invalidate(&first, false);
        QVERIFY(desktop::test::waitForPaint(c.get()));
        QCOMPARE(pixel(*c, 5, 5), kBlue);
        QCOMPARE(pixel(*c, 85, 65), kBlue);
        QVERIFY(!c->hasPendingPaint());
    }

    void resizingRepaintsEverything() {
        std::unique_ptr<ClientArea> c(makeArea());
        c->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.get()));
        QVERIFY(desktop::test::waitForPaint(c.get()));
        const int paints = c->paintCount();
        fill = kBlue;
        c->resize(130, 90);
        QVERIFY(desktop::test::waitForPaint(c.get()));
        QVERIFY(c->paintCount() > paints);
        QCOMPARE(c->picture().size(), QSize(130, 90));
        QCOMPARE(pixel(*c, 0, 0), kBlue);
        QCOMPARE(pixel(*c, 129, 89), kBlue);
    }

    void leftButtonOnlyAndNoDoubleClicks() {
        std::unique_ptr<ClientArea> c(makeArea());
        c->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.get()));
        QVERIFY(desktop::test::waitForPaint(c.get()));
        messages.clear();
        QTest::mouseClick(c.get(), Qt::RightButton, {}, QPoint(5, 6));
        QTest::mouseClick(c.get(), Qt::MiddleButton, {}, QPoint(5, 6));
        QTest::mousePress(c.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(12, 34));
        QTest::mouseRelease(c.get(), Qt::LeftButton, {}, QPoint(13, 35));
        // A quick second click: press, release, then the double-click event and its release.
        QTest::mouseClick(c.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(40, 50));
        QTest::mouseDClick(c.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(40, 50));
        QTest::mouseRelease(c.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(40, 50));
        QTest::mouseMove(c.get(), QPoint(60, 70));

        std::vector<std::pair<app::WindowMessageId, uint32_t>> seen;
        for (const auto& m : messages)
            if (m.id != app::WindowMessageId::Paint && m.id != app::WindowMessageId::MouseMove)
                seen.push_back({m.id, m.lParam});
        using I = app::WindowMessageId;
        // The second click arrives as a plain press: never a double click.
        const std::vector<std::pair<I, uint32_t>> expected = {
            {I::LeftButtonDown, app::pointParam(12, 34)},
            {I::LeftButtonUp, app::pointParam(13, 35)},
            {I::LeftButtonDown, app::pointParam(40, 50)},
            {I::LeftButtonUp, app::pointParam(40, 50)},
            {I::LeftButtonDown, app::pointParam(40, 50)},
            {I::LeftButtonUp, app::pointParam(40, 50)},
        };
        QVERIFY(seen == expected);
        // Key flags: the left button while it is down, shift and control.
        std::vector<uint32_t> flags;
        for (const auto& m : messages)
            if (m.id == I::LeftButtonDown || m.id == I::LeftButtonUp)
                flags.push_back(m.wParam);
        QCOMPARE(flags.front(), 0x0001u | 0x0004u);
        QCOMPARE(flags[1], 0u);
        QCOMPARE(flags[2], 0x0001u | 0x0008u);
        // Moves arrive while no button is down.
        bool moved = false;
        for (const auto& m : messages)
            if (m.id == I::MouseMove && m.lParam == app::pointParam(60, 70) && !(m.wParam & 0x0001))
                moved = true;
        QVERIFY(moved);
    }

    void keysCarryVirtualKeyCodes() {
        std::unique_ptr<ClientArea> c(makeArea());
        c->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.get()));
        messages.clear();
        QTest::keyClick(c.get(), Qt::Key_A);
        QTest::keyClick(c.get(), Qt::Key_5);
        QTest::keyClick(c.get(), Qt::Key_F2);
        QTest::keyClick(c.get(), Qt::Key_Left);
        QTest::keyClick(c.get(), Qt::Key_Space);
        std::vector<uint32_t> codes;
        for (const auto& m : messages)
            if (m.id == app::WindowMessageId::KeyDown)
                codes.push_back(m.wParam);
        QVERIFY((codes == std::vector<uint32_t>{0x41, 0x35, 0x71, 0x25, 0x20}));
        // No key has the codes 0 or 1, which repaint the window.
        for (int key : {0, int(Qt::Key_unknown), int(Qt::Key_Menu), int(Qt::Key_Meta),
                        int(Qt::Key_AsciiTilde)})
            QVERIFY(desktop::virtualKeyCode(key) > 1);
    }

    void editControlsCursorAndCapture() {
        std::unique_ptr<ClientArea> c(makeArea());
        c->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.get()));
        c->createEdit(225);
        QLineEdit* e = c->edit(225);
        QVERIFY(e);
        QCOMPARE(e->parentWidget(), c.get());
        QCOMPARE(e->objectName(), QStringLiteral("225"));
        QVERIFY(!e->isVisible());
        c->moveEdit(225, 10, 20, 40, 18);
        c->showEdit(225, true);
        QVERIFY(e->isVisible());
        QCOMPARE(e->geometry(), QRect(10, 20, 40, 18));
        messages.clear();
        c->setEditText(225, "181");
        QCOMPARE(c->editText(225), std::string("181"));
        // The edit control's change notification reaches the program as command 225.
        QVERIFY(!messages.empty());
        QCOMPARE(messages.back().id, app::WindowMessageId::Command);
        QCOMPARE(messages.back().wParam & 0xFFFFu, 225u);
        c->showEdit(225, false);
        QVERIFY(!e->isVisible());
        QCOMPARE(c->editText(999), std::string());

        using S = platform::CursorShape;
        QCOMPARE(c->setCursorShape(S::SizeVertical), S::Arrow);
        QCOMPARE(c->cursor().shape(), Qt::SizeVerCursor);
        QCOMPARE(c->setCursorShape(S::SizeDiagonal), S::SizeVertical);
        QCOMPARE(c->cursor().shape(), Qt::SizeBDiagCursor);
        c->setCursorShape(S::Arrow);
        QCOMPARE(c->cursor().shape(), Qt::ArrowCursor);

        c->capture();
        QVERIFY(c->captured());
        QCOMPARE(QWidget::mouseGrabber(), c.get());
        c->release();
        QVERIFY(!c->captured());
        QVERIFY(QWidget::mouseGrabber() != c.get());
    }
};

QTEST_MAIN(ClientAreaTest)
#include "client_area_test.moc"
