// Opening each reference list: its shared dataset through the dataset layer, and its
// window from the journal's menu until the window is up.
#include "Bench.h"

#include "db/Dataset.h"
#include "journal/Unit1.h"
#include "shop/Unit6.h"

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
        db::Dataset *TDataModule6::*dataset;
    } lists[] = {
        {"open dataset Workers", &TDataModule6::Workers},
        {"open dataset Izdel", &TDataModule6::Izdel},
        {"open dataset Oper", &TDataModule6::Oper},
        {"open dataset Vid_oper", &TDataModule6::Vid_oper},
    };
    for (const auto &l : lists) {
        auto member = l.dataset;
        bench::add(QLatin1String(l.action), [member](bench::Run &run) {
            db::Dataset *ds = DataModule6->*member;
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
        QAction *TForm1::*menu;
        db::Dataset *TDataModule6::*dataset;
    } lists[] = {
        {"open window workers list", &TForm1::N1, &TDataModule6::Workers},
        {"open window products list", &TForm1::N3, &TDataModule6::Izdel},
        {"open window kinds list", &TForm1::N6, &TDataModule6::Vid_oper},
    };
    for (const auto &l : lists) {
        auto menu = l.menu;
        auto dataset = l.dataset;
        bench::add(QLatin1String(l.action), [menu, dataset](bench::Run &run) {
            run.setSize(rows(DataModule6->*dataset));
            Form1->show();
            run.measureMs([menu] { return openWindow(Form1->*menu); });
            Form1->hide();
        });
    }
    return true;
}();

} // namespace
