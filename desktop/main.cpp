// ardentix: the desktop program. One maximized window on the program's core; the message loop
// runs until the window is closed. Exit code 3 when no display could be opened.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>

#include "app/app_settings.h"
#include "main_window.h"
#include "platform/bmp.h"

namespace {

constexpr int kNoDisplay = 3;

// While the application connects to the display, Qt's platform messages are held back: when
// the connection fails they are summed up in one line, otherwise they are shown afterwards.
bool starting = true;
std::vector<std::string> heldBack;

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const std::string text = message.toStdString();
    if (starting && type == QtFatalMsg) {
        std::fprintf(stderr, "ardentix: no display could be opened%s%s\n",
                     heldBack.empty() ? "" : ": ", heldBack.empty() ? "" : heldBack[0].c_str());
        std::fflush(stderr);
        std::_Exit(kNoDisplay);
    }
    if (starting && context.category && std::string(context.category).rfind("qt.qpa", 0) == 0) {
        heldBack.push_back(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
    if (type == QtFatalMsg)
        std::abort();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "ardentix: no display could be opened: neither DISPLAY nor WAYLAND_DISPLAY "
                     "is set\n");
        return kNoDisplay;
    }
    desktop::setApplicationNamesBeforeStart();
    qInstallMessageHandler(handleMessage);
    QApplication application(argc, argv);
    starting = false;
    for (const std::string& m : heldBack)
        std::fprintf(stderr, "%s\n", m.c_str());
    qInstallMessageHandler(nullptr);
    desktop::setApplicationNames();

    // The one settings record of the run, with its derived initial values.
    app::AppSettings settings;
    app::computeDerivedInitialValues(settings);
    desktop::MainWindow window(settings, platform::loadResourceBitmap);
    if (!window.create())
        return 0;
    window.showMaximizedAndPaint();
    return application.exec();
}
