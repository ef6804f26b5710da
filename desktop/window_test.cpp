// The main window on the program's core: maximized with its title, the menu tree and its check
// marks, commands and clicks that reach the core and repaint, keys, message boxes, the edit
// control, the save-file dialog and the exit sequence.

#include <set>
#include <thread>

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>

#include "app/menu.h"
#include "client_area.h"
#include "main_window.h"
#include "menu_bar.h"
#include "platform/bmp.h"
#include "test_support.h"

using desktop::MainWindow;
using desktop::test::Program;

namespace {

QPoint centre(const platform::Rect& inclusive) {
    return QPoint((inclusive.left + inclusive.right) / 2, (inclusive.top + inclusive.bottom) / 2);
}

// Pixels of the rectangle (inclusive) that are not white.
int inked(const QImage& picture, const platform::Rect& r) {
    int n = 0;
    for (int y = std::max(r.top, 0); y <= r.bottom && y < picture.height(); ++y)
        for (int x = std::max(r.left, 0); x <= r.right && x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu)
                ++n;
    return n;
}

std::set<int> checkedIds(const MainWindow& w) {
    std::set<int> ids;
    for (int id : app::menuCommandIds())
        if (w.menuItemChecked(id))
            ids.insert(id);
    return ids;
}

// Compares a Qt menu with the program's entries, recursively.
void compareMenu(const QMenu* menu, const std::vector<app::MenuEntry>& entries) {
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), static_cast<qsizetype>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        const app::MenuEntry& e = entries[i];
        QAction* a = actions[static_cast<qsizetype>(i)];
        switch (e.kind) {
            case app::MenuEntryKind::Separator:
                QVERIFY(a->isSeparator());
                break;
            case app::MenuEntryKind::Popup:
                QVERIFY(a->menu());
                QCOMPARE(a->text(), QString::fromStdString(e.caption));
                compareMenu(a->menu(), e.entries);
                break;
            case app::MenuEntryKind::Command:
                QVERIFY(!a->isSeparator() && !a->menu());
                QCOMPARE(a->text(), QString::fromStdString(e.caption));
                QCOMPARE(a->data().toInt(), e.id);
                QCOMPARE(a->isCheckable(), e.checkable);
                QVERIFY(a->shortcut().isEmpty());
                break;
        }
    }
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        desktop::test::quietPlatformNotices();
        desktop::setApplicationNames();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void startsMaximizedWithItsTitle() {
        Program p;
        QVERIFY(p.window->create());
        p.window->showMaximizedAndPaint();
        // The first paint happens before the message loop runs.
        QCOMPARE(p.client()->paintCount(), 1);
        QVERIFY(p.window->isMaximized());
        QCOMPARE(p.window->windowTitle(), QStringLiteral("Ardentix"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Ardentix"));
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("Ardentix"));
        QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
        QVERIFY(desktop::test::waitForPaint(p.client()));
        // The client area is the picture's size, and the buttons are on it.
        const platform::Rect client = p.window->clientRect();
        QCOMPARE(client.right, p.client()->width());
        QCOMPARE(p.client()->picture().size(), p.client()->size());
        QCOMPARE(p.settings.screenMode, int32_t{app::kSubsetScreen});
        QVERIFY(inked(p.client()->picture(), p.settings.layout.nextButtonRect) > 100);
        QVERIFY(inked(p.client()->picture(), p.settings.layout.exitButtonRect) > 100);
        // Start-up marks.
        QVERIFY((checkedIds(*p.window) == std::set<int>{40005, 40032}));
    }

    void menuTree() {
        Program p;
        QVERIFY(p.start());
        const QList<QAction*> bar = p.window->menuBar()->actions();
        const auto& menu = app::mainMenu();
        QCOMPARE(bar.size(), qsizetype{3});
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(bar[i]->text(), QString::fromStdString(menu[size_t(i)].caption));
            compareMenu(bar[i]->menu(), menu[size_t(i)].entries);
        }
        // " Else One" sits at the right edge, in the bar's right corner.
        QMenuBar* right = p.window->menus()->rightBar();
        QVERIFY(right);
        QCOMPARE(p.window->menuBar()->cornerWidget(Qt::TopRightCorner), right);
        QCOMPARE(right->actions().size(), qsizetype{1});
        QCOMPARE(right->actions()[0]->text(), QStringLiteral(" Else One"));
        compareMenu(right->actions()[0]->menu(), menu[3].entries);
        QVERIFY(right->isVisible());
        QVERIFY(right->mapTo(p.window.get(), QPoint(right->width(), 0)).x() >
                p.window->width() - 10);
    }

    void taskAndSeriesItemsAreCheckedExclusively_data() {
        QTest::addColumn<int>("id");
        for (int id : {40005, 40006, 40007, 40027, 40008, 40009, 40010, 40011, 40028, 40032})
            QTest::newRow(qPrintable(QString::number(id))) << id;
    }
    void taskAndSeriesItemsAreCheckedExclusively() {
        QFETCH(int, id);
        const std::set<int> tasks = {40005, 40006, 40007, 40027};
        Program p;
        QVERIFY(p.start());
        // Triggering an item twice leaves it checked: the program sets the marks, not Qt.
        for (int round = 0; round < 2; ++round) {
            p.window->menus()->action(id)->trigger();
            QVERIFY(desktop::test::waitForPaint(p.client()));
            const std::set<int> expected =
                tasks.count(id) ? std::set<int>{id, 40032} : std::set<int>{40005, id};
            QVERIFY(checkedIds(*p.window) == expected);
        }
    }

    void aCommandAndClicksReachTheCoreAndRepaint() {
        Program p;
        QVERIFY(p.start());
        p.window->menus()->action(40008)->trigger();  // fixed number of whole pulses
        p.window->menus()->action(40006)->trigger();  // recognition
        QVERIFY(desktop::test::waitForPaint(p.client()));
        QCOMPARE(p.settings.wSeriesKind, uint16_t{1});
        QCOMPARE(p.settings.wTaskKind, uint16_t{2});

        QTest::mouseClick(p.client(), Qt::LeftButton, {},
                          centre(p.settings.layout.restartButtonRect));
        QVERIFY(desktop::test::waitForPaint(p.client()));
        QCOMPARE(p.settings.screenMode, int32_t{app::kAlphabetScreen});
        const platform::Rect work = p.settings.layout.workAreaRect;
        const int alphabetInk = inked(p.client()->picture(), work);
        QVERIFY(alphabetInk > 1000);

        const int paints = p.client()->paintCount();
        QTest::mouseClick(p.client(), Qt::LeftButton, {}, centre(p.settings.layout.nextButtonRect));
        QVERIFY(desktop::test::waitForPaint(p.client()));
        QCOMPARE(p.settings.screenMode, int32_t{app::kSeriesScreen});
        QVERIFY(p.settings.lpSeriesHeader);
        QVERIFY(p.client()->paintCount() > paints);
        const QImage series = p.client()->picture();
        QVERIFY(inked(series, work) > 1000);
        QVERIFY(series != QImage());
        // What the window shows is the picture the core drew.
        const QImage shown = p.client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint probe = centre(work);
        QCOMPARE(shown.pixel(probe) & 0xFFFFFFu, series.pixel(probe) & 0xFFFFFFu);
        QCOMPARE(p.window->capturePicture().at(probe.x(), probe.y()),
                 series.pixel(probe) & 0xFFFFFFu);
    }

    void keysChangeNothing() {
        Program p;
        QVERIFY(p.start());
        const int paints = p.client()->paintCount();
        const QImage before = p.client()->picture();
        for (Qt::Key k : {Qt::Key_A, Qt::Key_Space, Qt::Key_Return, Qt::Key_F5, Qt::Key_Escape})
            QTest::keyClick(p.client(), k);
        QCoreApplication::processEvents();
        QVERIFY(!p.client()->hasPendingPaint());
        QCOMPARE(p.client()->paintCount(), paints);
        QCOMPARE(p.client()->picture(), before);
    }

    void exitRunsTheExitSequenceOnce_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("menu Exit") << "menu";
        QTest::newRow("Exit button") << "button";
        QTest::newRow("close box") << "close";
    }
    void exitRunsTheExitSequenceOnce() {
        QFETCH(QString, how);
        Program p;
        QVERIFY(p.start());
        if (how == "menu")
            p.window->menus()->action(40004)->trigger();
        else if (how == "button")
            QTest::mouseClick(p.client(), Qt::LeftButton, {},
                              centre(p.settings.layout.exitButtonRect));
        else
            p.window->close();
        QTRY_VERIFY(p.window->destroyed());
        QVERIFY(!p.window->isVisible());
        QCOMPARE(p.quits, std::vector<int>{0});
        QVERIFY(!p.settings.lpSeriesHeader);  // released
        // Nothing reaches the core any more, and closing again runs nothing.
        p.window->close();
        p.window->send(app::WindowMessage{app::WindowMessageId::Command, 40018});
        p.window.reset();
        QCOMPARE(p.quits, std::vector<int>{0});
        QVERIFY(!p.settings.lpSeriesHeader);
    }

    void aMissingBitmapRefusesTheWindow() {
        Program p([](std::string_view name) -> std::optional<platform::Bitmap> {
            if (name == "IDB_BITMAP5")
                return std::nullopt;
            return platform::loadResourceBitmap(name);
        });
        QString title, text;
        QWidget* parent = nullptr;
        desktop::test::onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            parent = box->parentWidget();
            box->button(QMessageBox::Ok)->click();
        });
        QVERIFY(!p.window->create());
        QCOMPARE(title, QStringLiteral("Fatal Error"));
        QCOMPARE(text, QStringLiteral("No Bitmap <IDB_BITMAP5>"));
        QCOMPARE(parent, p.window.get());
        p.window.reset();
        QVERIFY(p.quits.empty());  // no window, so no exit sequence
    }

    void messageBoxesAreOwnedByTheWindow_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("qtIcon");
        QTest::newRow("warning") << QStringLiteral(
                                        "Не могу выделить память для lpCutOffSeriesHeader!")
                                 << QStringLiteral(" About getCutOffSeriesHeader ")
                                 << int(platform::MessageIcon::Warning)
                                 << int(QMessageBox::Warning);
        QTest::newRow("plain") << QStringLiteral("Нет RestoreErrorHeader!")
                               << QStringLiteral(" About RestoreErrorHeader ")
                               << int(platform::MessageIcon::None) << int(QMessageBox::NoIcon);
        QTest::newRow("listing") << QStringLiteral("line 1\n<line 2>\n  3") << QStringLiteral("")
                                 << int(platform::MessageIcon::Information)
                                 << int(QMessageBox::Information);
    }
    void messageBoxesAreOwnedByTheWindow() {
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(int, icon);
        QFETCH(int, qtIcon);
        Program p;
        QVERIFY(p.start());
        bool answered = false;
        desktop::test::onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            QCOMPARE(box->parentWidget(), p.window.get());
            QVERIFY(box->isModal());
            QCOMPARE(box->windowTitle(), title);
            QCOMPARE(box->text(), text);
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(int(box->icon()), qtIcon);
            QCOMPARE(box->buttons().size(), qsizetype{1});
            answered = true;
            desktop::test::pressKey(box, Qt::Key_Return);
        });
        p.window->messageBox(text.toStdString(), title.toStdString(),
                             static_cast<platform::MessageIcon>(icon),
                             platform::MessageButtons::Ok);
        QVERIFY(answered);
    }

    void messageBoxesFromWorkersAreShownByTheWindowThread() {
        Program p;
        QVERIFY(p.start());
        QString seen;
        desktop::test::onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            QCOMPARE(box->parentWidget(), p.window.get());
            seen = box->text();
            box->accept();
        });
        std::thread worker([&] {
            static_cast<platform::Window&>(*p.window).messageBox("from a worker", "Worker");
        });
        worker.join();  // the worker does not wait for the box
        QTRY_COMPARE(seen, QStringLiteral("from a worker"));
    }

    void theEditControlOfTheCore() {
        Program p;
        QVERIFY(p.start());
        auto* e = p.client()->findChild<QLineEdit*>(QStringLiteral("225"));
        QVERIFY(e);
        QCOMPARE(e->windowTitle(), QStringLiteral("Tmin Text"));
        QVERIFY(!e->isVisible());
        p.window->moveEditControl(225, 30, 40, 50, 20);
        p.window->showEditControl(225, true);
        QVERIFY(e->isVisible());
        QCOMPARE(e->geometry(), QRect(30, 40, 50, 20));
        QTest::keyClicks(e, "123");
        QCOMPARE(p.window->editText(225), std::string("123"));
        p.window->setEditText(225, "40");
        QCOMPARE(e->text(), QStringLiteral("40"));
        QCOMPARE(p.window->setCursor(platform::CursorShape::SizeVertical),
                 platform::CursorShape::Arrow);
        QCOMPARE(p.client()->cursor().shape(), Qt::SizeVerCursor);
    }

    void theSaveFileDialog() {
        Program p;
        QVERIFY(p.start());
        platform::SaveFileRequest r;
        r.title = "Save image as";
        r.filters = {{"Bitmap files", "*.bmp"}, {"PCX files", "*.pcx;*.PCX"}};
        r.defaultExtension = "bmp";
        const QString chosen = QDir::temp().filePath(QStringLiteral("ardentix-save-test"));
        desktop::test::onNextModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->parentWidget(), p.window.get());
            QCOMPARE(d->windowTitle(), QStringLiteral("Save image as"));
            QCOMPARE(d->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(d->defaultSuffix(), QStringLiteral("bmp"));
            QCOMPARE(d->nameFilters(), (QStringList{QStringLiteral("Bitmap files (*.bmp)"),
                                                    QStringLiteral("PCX files (*.pcx *.PCX)")}));
            QVERIFY(!d->testOption(QFileDialog::DontConfirmOverwrite));
            d->selectFile(chosen);
            static_cast<QDialog*>(d)->accept();
        });
        const auto name = p.window->chooseSaveFile(r);
        QVERIFY(name);
        QCOMPARE(QString::fromStdString(*name), chosen + QStringLiteral(".bmp"));

        desktop::test::onNextModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QVERIFY(!p.window->chooseSaveFile(r));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
