#include "progress_dialog.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

namespace desktop {

QString clockText(qint64 seconds) {
    if (seconds < 0)
        seconds = 0;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void runWithProgressDialog(QWidget* owner, std::string_view title,
                           const platform::HostWindow::ProgressWork& work) {
    std::atomic<uint64_t> done{0};
    std::atomic<uint64_t> total{0};
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};

    QProgressDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("progressDialog"));
    dialog.setWindowTitle(
        QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())).trimmed());
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setRange(0, 1000);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumWidth(360);
    dialog.setLabelText(QStringLiteral("Starting…"));
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
        cancel = true;
        dialog.setLabelText(QStringLiteral("Stopping after the cycles under way…"));
        dialog.show();  // a cancelled progress dialog hides itself; it stays until the end
    });

    std::thread worker([&] {
        work(
            [&](uint64_t d, uint64_t t) {
                total = t;
                done = d;
            },
            cancel);
        finished = true;
    });

    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer timer;
    timer.setInterval(100);
    QObject::connect(&timer, &QTimer::timeout, &dialog, [&] {
        if (finished) {
            loop.quit();
            return;
        }
        if (cancel)
            return;
        const uint64_t t = total;
        const uint64_t d = done;
        const qint64 elapsed = clock.elapsed() / 1000;
        if (t == 0)
            return;
        const int permille = static_cast<int>(d * 1000 / t);
        dialog.setValue(permille);
        const QString remaining =
            d > 0 ? clockText(static_cast<qint64>(static_cast<double>(clock.elapsed()) *
                                                  static_cast<double>(t - d) /
                                                  static_cast<double>(d) / 1000.0))
                  : QStringLiteral("–");
        dialog.setLabelText(QStringLiteral("cycles %1 of %2 (%3%)\nelapsed %4, remaining %5")
                                .arg(d)
                                .arg(t)
                                .arg(permille / 10)
                                .arg(clockText(elapsed), remaining));
    });
    timer.start();
    dialog.show();
    if (!finished)
        loop.exec();
    timer.stop();
    worker.join();
    dialog.close();
}

}  // namespace desktop
