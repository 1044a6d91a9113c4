// Every window of the program, opened as the user opens it, fits the smallest screen in use:
// 1366 x 768, frame included. ("Внеурочное" opens no window.)
#include "Drive.h"
#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "journal/ShiftJournalWindow.h"
#include "ui/Form.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

using drive::whileShown;

class ScreenTest : public gui::Fixture {
    Q_OBJECT

    static void fits(QWidget *w)
    {
        const QSize frame = w->frameGeometry().size();
        const QSize room(ui::Form::kScreenWidth, ui::Form::kScreenHeight);
        QVERIFY2(frame.width() <= room.width() && frame.height() <= room.height(),
                 qPrintable(QStringLiteral("%1 \"%2\" is %3 x %4")
                                .arg(w->objectName(), w->windowTitle())
                                .arg(frame.width())
                                .arg(frame.height())));
    }

    // With TABEL_SCREENSHOT_DIR set, each window is also kept as a picture to look at.
    static void shot(QWidget *w)
    {
        if (qEnvironmentVariableIsSet("TABEL_SCREENSHOT_DIR"))
            w->grab().save(qEnvironmentVariable("TABEL_SCREENSHOT_DIR") + QLatin1Char('/') +
                           w->objectName() + QStringLiteral(".png"));
    }

private slots:
    void initTestCase()
    {
        startProgram();
        shiftJournalWindow->show();
    }

    // Every value a window shows reads as itself to assistive tools, and every field can be
    // found: a label with a name of its own carries its value, a field has a label or a name.
    static void accessible(QWidget *w)
    {
        QStringList faults;
        const QList<QLabel *> labels = w->findChildren<QLabel *>();
        QSet<QWidget *> labelled;
        for (QLabel *l : labels) {
            if (l->buddy())
                labelled << l->buddy();
            const QString name = l->accessibleName();
            if (!name.isEmpty() && !l->text().isEmpty() && !name.contains(l->text()))
                faults << QStringLiteral("label %1 \"%2\" named \"%3\"")
                              .arg(l->objectName(), l->text(), name);
        }
        for (QWidget *f : w->findChildren<QWidget *>()) {
            const bool field = qobject_cast<QLineEdit *>(f) || qobject_cast<QComboBox *>(f) ||
                               qobject_cast<QAbstractSpinBox *>(f) ||
                               qobject_cast<QAbstractItemView *>(f);
            if (!field || qobject_cast<QHeaderView *>(f) || !f->isVisibleTo(w) ||
                qobject_cast<QComboBox *>(f->parentWidget()) ||
                qobject_cast<QAbstractSpinBox *>(f->parentWidget()))
                continue;
            if (f->accessibleName().isEmpty() && !labelled.contains(f))
                faults << QStringLiteral("field %1 (%2) has neither label nor name")
                              .arg(f->objectName(),
                                   QString::fromLatin1(f->metaObject()->className()));
        }
        QVERIFY2(faults.isEmpty(), qPrintable(w->objectName() + ": " + faults.join("; ")));
    }

    void journal()
    {
        fits(shiftJournalWindow);
        accessible(shiftJournalWindow);
        shot(shiftJournalWindow);
    }

    void fromTheMenus_data()
    {
        QTest::addColumn<QString>("action");
        for (const char *a :
             {"workersAction", "productsAction", "pricesAction", "operationKindsAction",
              "pieceworkTimesheetAction", "shiftTimesheetAction", "maintenanceTimesheetAction",
              "averageRateTimesheetAction", "generalTimesheetAction", "monthClosingAction",
              "changeHistoryAction", "summaryReportsAction", "payStatementsAction",
              "organisationAction", "calendarAction", "workTimeSheetAction", "absencesAction"})
            QTest::newRow(a) << QString::fromLatin1(a);
    }
    void fromTheMenus()
    {
        QFETCH(QString, action);
        auto *item = shiftJournalWindow->findChild<QAction *>(action);
        QVERIFY(item);
        QVERIFY(whileShown<QDialog>([&] { item->trigger(); },
                                    [&](QDialog *w) {
                                        fits(w);
                                        accessible(w);
                                        shot(w);
                                    }));
        QVERIFY(msg_->shown.isEmpty());
    }

    // A window the user may resize opens as he left it; a window of fixed size, and a place
    // no longer on a screen, are not taken from the store.
    void resizedWindowsKeepTheirPlace()
    {
        QAction *history = shiftJournalWindow->changeHistoryAction,
                *prices = shiftJournalWindow->pricesAction;
        QVERIFY(whileShown<QDialog>([&] { history->trigger(); },
                                    [](QDialog *w) {
                                        QVERIFY(w->minimumSize() != w->maximumSize());
                                        w->setGeometry(40, 50, 900, 460);
                                    }));
        QVERIFY(whileShown<QDialog>([&] { history->trigger(); },
                                    [](QDialog *w) {
                                        QCOMPARE(w->geometry(), QRect(40, 50, 900, 460));
                                        w->move(20000, 20000);
                                    }));
        QVERIFY(whileShown<QDialog>([&] { history->trigger(); },
                                    [](QDialog *w) {
                                        QCOMPARE(w->size(), QSize(900, 460));
                                        QVERIFY(w->screen()->availableGeometry().intersects(
                                            w->frameGeometry()));
                                    }));
        QSize fixed;
        QVERIFY(whileShown<QDialog>([&] { prices->trigger(); },
                                    [&](QDialog *w) {
                                        fixed = w->size();
                                        QCOMPARE(w->minimumSize(), w->maximumSize());
                                    }));
        QVERIFY(fixed.isValid());
    }
};

TABEL_TEST_MAIN(ScreenTest)
#include "tst_screen.moc"
