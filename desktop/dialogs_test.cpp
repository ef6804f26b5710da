// The parameter dialogs as the user sees them: built from their templates, owned by the main
// window, filled through their controls (found by their ids) and closed with OK or Cancel,
// with the settings changed as the dialog procedures say.

#include <functional>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/dialogs.h"
#include "test_support.h"

using desktop::test::Program;

namespace {

using Settings = app::AppSettings;

void setSequence(std::unique_ptr<uint16_t[]>& array, uint16_t& size, std::vector<uint16_t> values) {
    array = std::make_unique<uint16_t[]>(values.size());
    size = static_cast<uint16_t>(values.size());
    std::copy(values.begin(), values.end(), array.get());
}

std::vector<uint16_t> sequence(const std::unique_ptr<uint16_t[]>& array, size_t n) {
    return {array.get(), array.get() + n};
}

// One row: a dialog opened on prepared settings, what it shows, what the user does (text
// typed into an edit control, "click" on a button), how it is closed (Enter, the OK button,
// Escape or the Cancel button) and what the settings then hold.
struct Row {
    const char* name;
    int templateId;
    std::function<void(Settings&)> prepare;
    std::vector<std::pair<int, QString>> shown;  // edits and captions: text; buttons: "on"/"off"
    std::vector<std::pair<int, QString>> actions;
    QString close;
    std::function<void(const Settings&)> verify;
};

const std::vector<Row>& rows() {
    static const std::vector<Row> r = {
        {"105 typed, Enter",
         105,
         [](Settings& a) { a.dialogAccepted = 0; },
         {{1000, "1200"}, {1001, "40"}, {1003, "181"}, {1004, "1"}, {1005, "100"}, {1006, "100"}},
         {{1000, "600"}, {1001, "30"}, {1003, "150x"}, {1004, "2"}, {1005, "90"}, {1006, "-5"}},
         "enter",
         [](const Settings& a) {
             QCOMPARE(a.dialogAccepted, 1);
             QCOMPARE(a.dwEnteredSeriesLength, 600u);
             QCOMPARE(a.wEnteredTmin, uint16_t{30});
             QCOMPARE(a.wEnteredTmax, uint16_t{150});
             QCOMPARE(a.dwEtalonNumber, 2);
             QCOMPARE(a.wEnteredCreateSavedLevel, int16_t{90});
             QCOMPARE(a.wEnteredProcessSavedLevel, int16_t{-5});
             QCOMPARE(a.dwSeriesLength, 1200u);
         }},
        {"105 typed, Escape",
         105,
         [](Settings& a) { a.dialogAccepted = 1; },
         {},
         {{1000, "600"}, {1004, "2"}},
         "escape",
         [](const Settings& a) {
             QCOMPARE(a.dialogAccepted, 0);
             QCOMPARE(a.dwEnteredSeriesLength, 0u);
             QCOMPARE(a.dwEtalonNumber, 1);
         }},
        {"106 shows 1,2,1, stores 4 5 as 4, 5, 0",
         106,
         [](Settings& a) {
             setSequence(a.dialogSequence, a.wDialogSequenceSize, {1, 2, 1, 9});
             a.wPulsesInSeries = 3;
             a.wRangeFrom = 6;
             a.wRangeTo = 30;
         },
         {{1008, "Number of Pulses in Series (from 6 to 30)"},
          {1007, "3"},
          {1009, "Sequence of Etalons in Series (values from 1 to 20)"},
          {1010, "1,2,1"},
          {1011, "20"}},
         {{1010, "4 5"}, {1007, "25"}, {1011, "35"}},
         "ok",
         [](const Settings& a) {
             QCOMPARE(sequence(a.dialogSequence, 4), (std::vector<uint16_t>{4, 5, 0, 9}));
             QCOMPARE(a.wEnteredPulses, uint16_t{25});
             QCOMPARE(a.wEnteredNoiseLevel, int16_t{35});
             QCOMPARE(a.dialogAccepted, 1);
         }},
        {"106 3,,7",
         106,
         [](Settings& a) {
             setSequence(a.dialogSequence, a.wDialogSequenceSize, {1, 2, 1});
             a.wPulsesInSeries = 3;
         },
         {},
         {{1010, "3,,7"}},
         "enter",
         [](const Settings& a) {
             QCOMPARE(sequence(a.dialogSequence, 3), (std::vector<uint16_t>{3, 0, 7}));
         }},
        {"106 empty list, Cancel",
         106,
         [](Settings& a) {
             setSequence(a.dialogSequence, a.wDialogSequenceSize, {4, 4});
             a.wPulsesInSeries = 0;
         },
         {{1010, ""}},
         {{1010, "7,7"}},
         "cancel",
         [](const Settings& a) {
             QCOMPARE(sequence(a.dialogSequence, 2), (std::vector<uint16_t>{4, 4}));
             QCOMPARE(a.dialogAccepted, 0);
         }},
        {"107 count 0 keeps the count",
         107,
         [](Settings& a) {
             setSequence(a.lpEtalonNumbersList, a.wRequiredCapacity, {1, 2, 3, 4, 5});
             a.wRequiredCount = 2;
         },
         {{1014, "2"}, {1012, "List of Required Etalons (from 1 to 20)"}, {1013, "1,2"}},
         {{1014, "0"}, {1013, "9,8,7"}},
         "ok",
         [](const Settings& a) {
             QCOMPARE(a.wRequiredCount, uint16_t{2});
             QCOMPARE(sequence(a.lpEtalonNumbersList, 5), (std::vector<uint16_t>{9, 8, 3, 4, 5}));
         }},
        {"107 count beyond the capacity keeps the count",
         107,
         [](Settings& a) {
             setSequence(a.lpEtalonNumbersList, a.wRequiredCapacity, {1, 2, 3});
             a.wRequiredCount = 3;
         },
         {},
         {{1014, "4"}, {1013, "5 6 7 8"}},
         "enter",
         [](const Settings& a) {
             QCOMPARE(a.wRequiredCount, uint16_t{3});
             QCOMPARE(sequence(a.lpEtalonNumbersList, 3), (std::vector<uint16_t>{5, 6, 7}));
         }},
        {"107 new count and list",
         107,
         [](Settings& a) {
             setSequence(a.lpEtalonNumbersList, a.wRequiredCapacity, {1, 2, 3, 4});
             a.wRequiredCount = 4;
         },
         {{1013, "1,2,3,4"}},
         {{1014, "2"}, {1013, "20, 7"}},
         "enter",
         [](const Settings& a) {
             QCOMPARE(a.wRequiredCount, uint16_t{2});
             QCOMPARE(sequence(a.lpEtalonNumbersList, 4), (std::vector<uint16_t>{20, 7, 3, 4}));
         }},
        {"110 grid",
         110,
         [](Settings& a) {
             a.wRangeFrom = 6;
             a.wRangeTo = 30;
         },
         {{1015, "6"},
          {1016, "30"},
          {1017, "1"},
          {1019, "0"},
          {1018, "29"},
          {1020, "5"},
          {1021, "100"}},
         {{1015, "8"},
          {1016, "20"},
          {1017, "0"},
          {1019, "10"},
          {1018, "4"},
          {1020, "15"},
          {1021, "7"}},
         "ok",
         [](const Settings& a) {
             QCOMPARE(a.wRangeFrom, uint16_t{8});
             QCOMPARE(a.wRangeTo, uint16_t{20});
             QCOMPARE(a.wPulsesIncrement, uint16_t{0});
             QCOMPARE(a.wInitialNoiseLevel, uint16_t{10});
             QCOMPARE(a.wNoiseSteps, uint16_t{4});
             QCOMPARE(a.wNoiseIncrement, uint16_t{15});
             QCOMPARE(a.wRepeats, uint16_t{7});
             QCOMPARE(a.dialogAccepted, 1);
         }},
        {"110 Cancel",
         110,
         [](Settings& a) { a.wRangeTo = 30; },
         {},
         {{1016, "3"}, {1021, "1"}},
         "escape",
         [](const Settings& a) {
             QCOMPARE(a.wRangeTo, uint16_t{30});
             QCOMPARE(a.wRepeats, uint16_t{100});
             QCOMPARE(a.dialogAccepted, 0);
         }},
        {"111 clicks, OK",
         111,
         [](Settings& a) { a.dialogAccepted = 7; },
         {{1018, "on"}, {1015, "off"}, {1021, "on"}, {1022, "off"}, {1020, "1"}},
         {{1016, "click"}, {1017, "click"}, {1022, "click"}},
         "ok",
         [](const Settings& a) {
             QCOMPARE(a.wSubsetEmployment, uint16_t{3});
             QCOMPARE(a.wSubsetProceeding, uint16_t{2});
             QCOMPARE(a.wSubsetInitPosition, uint16_t{1});
             QCOMPARE(a.dialogAccepted, 7);
         }},
        {"111 clicks, Cancel",
         111,
         [](Settings& a) { a.wSubsetEmployment = 2; },
         {{1016, "on"}},
         {{1019, "click"}, {1022, "click"}},
         "cancel",
         [](const Settings& a) {
             QCOMPARE(a.wSubsetEmployment, uint16_t{2});
             QCOMPARE(a.wSubsetProceeding, uint16_t{1});
         }},
        {"111 a stored value without a button survives OK",
         111,
         [](Settings& a) { a.wSubsetEmployment = 9; },
         {{1018, "on"}},
         {},
         "enter",
         [](const Settings& a) { QCOMPARE(a.wSubsetEmployment, uint16_t{9}); }},
        {"112 OK without clicks changes nothing",
         112,
         [](Settings& a) {
             a.frameGraphFields = 3;
             a.tuplesHighlight = 5;
         },
         {{1044, "on"}, {1024, "on"}, {1023, "off"}, {1043, "off"}, {1026, "on"}},
         {},
         "ok",
         [](const Settings& a) {
             QCOMPARE(a.frameGraphFields, 3);
             QCOMPARE(a.shadedOriginalPulses, 1);
             QCOMPARE(a.highlightDetectedPulses, 0);
             QCOMPARE(a.specialGraphSize, 0);
             QCOMPARE(a.tuplesHighlight, int16_t{5});
         }},
        {"112 Cancel after clicks restores",
         112,
         [](Settings&) {},
         {},
         {{1044, "click"}, {1023, "click"}, {1043, "click"}, {1027, "click"}},
         "cancel",
         [](const Settings& a) {
             QCOMPARE(a.frameGraphFields, 1);
             QCOMPARE(a.highlightDetectedPulses, 0);
             QCOMPARE(a.specialGraphSize, 0);
             QCOMPARE(a.tuplesHighlight, int16_t{2});
         }},
        {"112 clicks, OK",
         112,
         [](Settings&) {},
         {},
         {{1044, "click"}, {1024, "click"}, {1024, "click"}, {1023, "click"}, {1025, "click"}},
         "enter",
         [](const Settings& a) {
             QCOMPARE(a.frameGraphFields, 0);
             QCOMPARE(a.shadedOriginalPulses, 1);
             QCOMPARE(a.highlightDetectedPulses, 1);
             QCOMPARE(a.specialGraphSize, 0);
             QCOMPARE(a.tuplesHighlight, int16_t{1});
         }},
        {"113 ignores the bound unless checked",
         113,
         [](Settings&) {},
         {{1032, "off"}, {1033, "0.25"}, {1028, "on"}, {1030, "on"}},
         {{1033, "0.75"}, {1029, "click"}, {1031, "click"}},
         "ok",
         [](const Settings& a) {
             QCOMPARE(a.upperBound, 0.25);
             QCOMPARE(a.fixedUpperBound, 0);
             QCOMPARE(a.showHandlingCase, 2);
             QCOMPARE(a.showViewCase, 2);
         }},
        {"113 reads the checked bound",
         113,
         [](Settings&) {},
         {},
         {{1032, "click"}, {1033, "1.5e-1"}},
         "enter",
         [](const Settings& a) {
             QCOMPARE(a.upperBound, 0.15);
             QCOMPARE(a.fixedUpperBound, 1);
         }},
        {"113 Cancel restores",
         113,
         [](Settings& a) { a.upperBound = 1234567.0; },
         {{1033, "1.2346e+06"}},
         {{1032, "click"}, {1033, "3"}, {1029, "click"}},
         "escape",
         [](const Settings& a) {
             QCOMPARE(a.upperBound, 1234567.0);
             QCOMPARE(a.fixedUpperBound, 0);
             QCOMPARE(a.showHandlingCase, 1);
         }},
        {"114 recognition error and bounds incl.",
         114,
         [](Settings& a) { a.showHandlingCase = 3; },
         {{1034, "on"}, {1042, "on"}},
         {{1028, "click"}, {1034, "click"}, {1042, "click"}, {1031, "click"}},
         "ok",
         [](const Settings& a) {
             QCOMPARE(a.showHandlingCase, 3);
             QCOMPARE(a.boundsIncluded, 0);
             QCOMPARE(a.showViewCase, 2);
         }},
    };
    return r;
}

template <class T>
T* control(QWidget* dialog, int id) {
    return dialog->findChild<T*>(QString::number(id));
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        desktop::test::quietPlatformNotices();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void everyTemplateIsBuiltAsWritten_data() {
        QTest::addColumn<int>("templateId");
        for (const app::DialogTemplate& t : app::dialogTemplates())
            QTest::newRow(qPrintable(QString::number(t.id))) << t.id;
    }
    void everyTemplateIsBuiltAsWritten() {
        QFETCH(int, templateId);
        const app::DialogTemplate& t = *app::findDialogTemplate(templateId);
        Program p;
        QVERIFY(p.start());
        bool seen = false;
        desktop::test::onNextModal([&](QWidget* w) {
            seen = true;
            auto* d = qobject_cast<QDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->parentWidget(), p.window.get());
            QVERIFY(d->isModal());
            QCOMPARE(d->windowTitle(), QString::fromStdString(t.title));
            QCOMPARE(d->objectName(), QString::number(t.id));
            QStringList boxes;
            for (QGroupBox* g : d->findChildren<QGroupBox*>())
                boxes << g->title();
            QStringList groups;
            for (const std::string& g : t.groups)
                groups << QString::fromStdString(g);
            QCOMPARE(boxes, groups);
            QWidget* firstEdit = nullptr;
            for (const app::DialogItem& item : t.items) {
                QWidget* c = control<QWidget>(d, item.id);
                QVERIFY2(c, qPrintable(QString::number(item.id)));
                QCOMPARE(c->isEnabled(), item.enabled);
                const QString caption = QString::fromStdString(item.caption);
                switch (item.kind) {
                    case platform::DialogControlKind::Edit: {
                        QVERIFY(qobject_cast<QLineEdit*>(c));
                        if (!firstEdit && item.enabled)
                            firstEdit = c;
                        if (!item.caption.empty()) {
                            bool found = false;
                            for (QLabel* l : d->findChildren<QLabel*>())
                                if (l->buddy() == c) {
                                    QCOMPARE(l->text(), caption);
                                    QCOMPARE(l->isEnabled(), item.enabled);
                                    found = true;
                                }
                            QVERIFY(found);
                        }
                        break;
                    }
                    case platform::DialogControlKind::Static:
                        QVERIFY(qobject_cast<QLabel*>(c));
                        break;
                    case platform::DialogControlKind::Radio: {
                        auto* b = qobject_cast<QRadioButton*>(c);
                        QVERIFY(b);
                        QCOMPARE(b->text(), caption);
                        QVERIFY(b->group() && b->group()->exclusive());
                        QCOMPARE(b->group()->id(b), item.id);
                        // Group boxes hold the radio groups.
                        auto* box = qobject_cast<QGroupBox*>(b->parentWidget());
                        QVERIFY(box);
                        QCOMPARE(box->title(),
                                 QString::fromStdString(t.groups[size_t(item.group - 1)]));
                        break;
                    }
                    case platform::DialogControlKind::CheckBox:
                        QVERIFY(qobject_cast<QCheckBox*>(c));
                        QCOMPARE(qobject_cast<QCheckBox*>(c)->text(), caption);
                        break;
                    case platform::DialogControlKind::PushButton:
                        QVERIFY(qobject_cast<QPushButton*>(c));
                        QCOMPARE(qobject_cast<QPushButton*>(c)->text(), caption);
                        break;
                }
            }
            QVERIFY(control<QPushButton>(d, 1)->isDefault());
            if (firstEdit)
                QCOMPARE(d->focusWidget(), firstEdit);
            control<QPushButton>(d, 2)->click();
        });
        QVERIFY(app::runDialogTemplate(p.settings, templateId));
        QVERIFY(seen);
    }

    void dialogsChangeTheSettings_data() {
        QTest::addColumn<int>("row");
        for (size_t i = 0; i < rows().size(); ++i)
            QTest::newRow(rows()[i].name) << int(i);
    }
    void dialogsChangeTheSettings() {
        QFETCH(int, row);
        const Row& r = rows()[size_t(row)];
        Program p;
        QVERIFY(p.start());
        r.prepare(p.settings);
        bool answered = false;
        desktop::test::onNextModal([&](QWidget* d) {
            for (const auto& [id, expected] : r.shown) {
                QWidget* c = control<QWidget>(d, id);
                QVERIFY2(c, qPrintable(QString::number(id)));
                if (auto* e = qobject_cast<QLineEdit*>(c))
                    QCOMPARE(e->text(), expected);
                else if (auto* l = qobject_cast<QLabel*>(c))
                    QCOMPARE(l->text(), expected);
                else
                    QCOMPARE(qobject_cast<QAbstractButton*>(c)->isChecked(), expected == "on");
            }
            for (const auto& [id, value] : r.actions) {
                QWidget* c = control<QWidget>(d, id);
                QVERIFY2(c, qPrintable(QString::number(id)));
                if (auto* e = qobject_cast<QLineEdit*>(c)) {
                    e->setFocus();
                    e->selectAll();
                    QTest::keyClick(e, Qt::Key_Delete);
                    QTest::keyClicks(e, value);
                } else {
                    QTest::mouseClick(c, Qt::LeftButton);
                }
            }
            answered = true;
            if (r.close == "enter")
                desktop::test::pressKey(d, Qt::Key_Return);
            else if (r.close == "escape")
                desktop::test::pressKey(d, Qt::Key_Escape);
            else
                QTest::mouseClick(control<QPushButton>(d, r.close == "ok" ? 1 : 2), Qt::LeftButton);
        });
        QVERIFY(app::runDialogTemplate(p.settings, r.templateId));
        QVERIFY(answered);
        if (QTest::currentTestFailed())
            return;
        r.verify(p.settings);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
