// The progress window: work runs to its end or stops at Cancel, and the window reports it.

#include <QApplication>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "progress_dialog.h"

namespace {

QProgressDialog* findProgressDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible())
            return d;
    return nullptr;
}

class ProgressDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void clockText_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64{0} << QStringLiteral("0:00:00");
        QTest::newRow("59 s") << qint64{59} << QStringLiteral("0:00:59");
        QTest::newRow("an hour and more") << qint64{3661} << QStringLiteral("1:01:01");
        QTest::newRow("negative") << qint64{-5} << QStringLiteral("0:00:00");
    }
    void clockText() {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(desktop::clockText(seconds), text);
    }

    void workRunsToItsEndAndTheLabelFollows() {
        QWidget owner;
        owner.show();
        QString seen;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (QProgressDialog* d = findProgressDialog())
                seen = d->labelText();
        });
        probe.start(20);
        int steps = 0;
        desktop::runWithProgressDialog(
            &owner, " Statistical Simulation", [&](const auto& progress, const std::atomic<bool>&) {
                for (steps = 0; steps < 40; ++steps) {
                    progress(static_cast<uint64_t>(steps), 40);
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
                progress(40, 40);
            });
        QCOMPARE(steps, 40);
        QVERIFY2(seen.startsWith(QStringLiteral("cycles ")), qPrintable(seen));
        QVERIFY(seen.contains(QStringLiteral("elapsed ")));
        QVERIFY(findProgressDialog() == nullptr);
    }

    void cancelStopsTheWorkBetweenSteps() {
        QWidget owner;
        owner.show();
        QTimer::singleShot(200, [] {
            if (QProgressDialog* d = findProgressDialog())
                emit d->canceled();  // what its Cancel button sends
        });
        bool stopped = false;
        desktop::runWithProgressDialog(
            &owner, "work", [&](const auto& progress, const std::atomic<bool>& cancel) {
                for (int i = 0; i < 5000 && !cancel; ++i) {
                    progress(static_cast<uint64_t>(i), 5000);
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
                stopped = cancel;
            });
        QVERIFY(stopped);
        QVERIFY(findProgressDialog() == nullptr);
    }
};

}  // namespace

QTEST_MAIN(ProgressDialogTest)
#include "progress_dialog_test.moc"
