#pragma once
// Helpers of the desktop tests: answering the modal dialogs and message boxes that the
// program opens, and waiting for the window's paints.

#include <functional>
#include <memory>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "app/app_settings.h"
#include "client_area.h"
#include "main_window.h"
#include "platform/bmp.h"

namespace desktop::test {

// Runs `action` on the next modal widget that appears (the action answers it). A widget that
// is still open five seconds later is closed, so that a failing test cannot hang.
inline void onNextModal(std::function<void(QWidget*)> action) {
    struct State {
        bool answered = false;
        QPointer<QWidget> target;
        QElapsedTimer clock;
    };
    auto state = std::make_shared<State>();
    state->clock.start();
    // Owned by the application, so that a timer still waiting when the tests end is released.
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, state, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!state->answered) {
            if (modal) {
                state->answered = true;
                state->target = modal;
                state->clock.restart();
                action(modal);
            } else if (state->clock.elapsed() > 5000) {
                timer->deleteLater();
            }
            return;
        }
        if (state->target.isNull() || modal != state->target.data()) {
            timer->deleteLater();
        } else if (state->clock.elapsed() > 5000) {
            if (auto* d = qobject_cast<QDialog*>(modal))
                d->reject();
            else
                modal->close();
        }
    });
    timer->start();
}

// Drops the offscreen platform's notices about window features it lacks; every other message
// goes on to the test framework.
inline void quietPlatformNotices() {
    static QtMessageHandler next = nullptr;
    next = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (message.startsWith(QLatin1String("This plugin does not support")))
                return;
            if (next)
                next(type, context, message);
        });
}

// Presses a key on the widget that has the focus in `window`.
inline void pressKey(QWidget* window, Qt::Key key) {
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, key);
}

// Lets the queued events run until the client area has painted what waits.
inline bool waitForPaint(ClientArea* client) {
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents();
        if (!client->hasPendingPaint())
            return true;
        QTest::qWait(5);
    } while (t.elapsed() < 5000);
    return false;
}

// The program as it starts: settings with their derived values and a created, shown window.
struct Program {
    // The window goes first: its exit sequence uses the settings and records the quit.
    app::AppSettings settings;
    std::vector<int> quits;
    std::unique_ptr<MainWindow> window;

    explicit Program(MainWindow::BitmapLoader loader = platform::loadResourceBitmap) {
        app::computeDerivedInitialValues(settings);
        window = std::make_unique<MainWindow>(settings, std::move(loader));
        window->setQuitHandler([this](int code) { quits.push_back(code); });
    }
    bool start() {
        if (!window->create())
            return false;
        window->showMaximizedAndPaint();
        return QTest::qWaitForWindowExposed(window.get()) && waitForPaint(window->clientArea());
    }
    desktop::ClientArea* client() const { return window->clientArea(); }
};

}  // namespace desktop::test
