// Opening each reference list: its shared dataset through the dataset layer, and its
// window from the journal's menu until the window is up.
#include "Bench.h"

#include "db/Dataset.h"
#include "journal/ShiftJournalWindow.h"
#include "shop/DataModule.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <stdexcept>

namespace {

QString rows(db::Dataset *ds)
{
    ds->open();
    const QString n = QString::number(ds->recordCount()) + QStringLiteral(" rows");
    ds->close();
    return n;
}

const bool datasets = [] {
    const struct {
        const char *action;
        db::Dataset *DataModule::*dataset;
    } lists[] = {
        {"open dataset Workers", &DataModule::Workers},
        {"open dataset Izdel", &DataModule::Izdel},
        {"open dataset Oper", &DataModule::Oper},
        {"open dataset Vid_oper", &DataModule::Vid_oper},
    };
    for (const auto &l : lists) {
        auto member = l.dataset;
        bench::add(QLatin1String(l.action), [member](bench::Run &run) {
            db::Dataset *ds = dataModule->*member;
            run.setSize(rows(ds));
            run.measure([ds] {
                ds->close();
                ds->open();
            });
            ds->close();
        });
    }
    return true;
}();

// The menu action opens its list modally; a timer queued before it fires inside the list's
// event loop, once the window is shown, and closes it again.
double openWindow(QAction *action)
{
    QElapsedTimer t;
    double ms = -1;
    QTimer::singleShot(0, [&] {
        ms = t.nsecsElapsed() / 1e6;
        if (auto *w = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            w->reject();
    });
    t.start();
    action->trigger();
    if (ms < 0)
        throw std::runtime_error("the list window did not open");
    return ms;
}

const bool windows = [] {
    const struct {
        const char *action;
        QAction *ShiftJournalWindow::*menu;
        db::Dataset *DataModule::*dataset;
    } lists[] = {
        {"open window workers list", &ShiftJournalWindow::workersAction, &DataModule::Workers},
        {"open window products list", &ShiftJournalWindow::productsAction, &DataModule::Izdel},
        {"open window kinds list", &ShiftJournalWindow::operationKindsAction,
         &DataModule::Vid_oper},
    };
    for (const auto &l : lists) {
        auto menu = l.menu;
        auto dataset = l.dataset;
        bench::add(QLatin1String(l.action), [menu, dataset](bench::Run &run) {
            run.setSize(rows(dataModule->*dataset));
            shiftJournalWindow->show();
            run.measureMs([menu] { return openWindow(shiftJournalWindow->*menu); });
            shiftJournalWindow->hide();
        });
    }
    return true;
}();

} // namespace
