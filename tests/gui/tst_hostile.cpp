// Hostile text typed into every editor field and search box: it is stored as typed
// (trimmed) or refused in a clear sentence; never a raw server error, never a changed
// statement, never a crash.
#include "Drive.h"
#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "journal/ShiftJournalWindow.h"
#include "refbooks/OperationKindEditor.h"
#include "refbooks/OperationKindList.h"
#include "refbooks/ProductEditor.h"
#include "refbooks/ProductList.h"
#include "refbooks/WorkerEditor.h"
#include "refbooks/WorkerList.h"
#include "ui/LookupCombo.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

using drive::click;
using drive::whileShown;

namespace {

const QList<QPair<const char *, QString>> &inputs()
{
    static const QList<QPair<const char *, QString>> list = {
        {"quotes", "О'Брайен \"Кавычки\""},
        {"backslash", "C:\\путь\\' \\\\"},
        {"percent and underscore", "100% _ров_"},
        {"NUL", QString("до") + QChar(0) + QString("после")},
        {"10000 characters", QString(10000, QChar(0x416))},
        {"emoji", "Рабочий 😀👍🏽"},
        {"right to left", "שלום עליכם مرحبا"},
        {"outer spaces", "   Пробелы по краям   "},
        {"statement inside", "x'); delete from accounts_dep.person; --"},
    };
    return list;
}

// A refusal the user can read: Russian words and nothing of the server's English.
bool clearRefusal(const QString &text)
{
    static const QRegularExpression cyrillic("[А-Яа-я]{3}");
    static const QRegularExpression raw("ERROR|syntax|violates|QPSQL|relation|column|Unable");
    return text.contains(cyrillic) && !text.contains(raw);
}

} // namespace

class HostileTest : public gui::Fixture {
    Q_OBJECT

    // What the newest row of the field's table holds, read back whole.
    QString newest(const QString &field)
    {
        return testdb::scalar(
                   db_, field == "worker"
                            ? "select fio from accounts_dep.person order by id desc limit 1"
                        : field == "product" ? "select s_caption from cmn_gds_and_srv.gds_and_srv "
                                               "order by id desc limit 1"
                                             : "select rtrim(vid) from accounts_dep.vid_oper "
                                               "where id<7777 order by id desc limit 1")
            .toString();
    }
    QString fingerprint()
    {
        return testdb::scalar(db_, "select (select count(*) from accounts_dep.person) || '/' || "
                                   "(select count(*) from accounts_dep.vid_oper) || '/' || "
                                   "(select count(*) from cmn_gds_and_srv.gds_and_srv) || '/' || "
                                   "(select count(*) from accounts_dep.smena)")
            .toString();
    }

private slots:
    void initTestCase()
    {
        startProgram();
        shiftJournalWindow->show();
    }

    void editorFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        for (const char *field : {"worker", "product", "kind"})
            for (const auto &in : inputs())
                QTest::addRow("%s: %s", field, in.first) << QString(field) << in.second;
    }
    void editorFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        const QString before = fingerprint();
        QString expected;
        bool saved = false;
        auto fill = [&](QLineEdit *box, QPushButton *save, QDialog *editor) {
            box->clear();
            box->insert(typed); // as a paste would
            expected = box->text().trimmed();
            click(save);
            saved = !editor->isVisible();
        };
        if (field == "worker") {
            QVERIFY(whileShown<WorkerList>(
                [] { shiftJournalWindow->workersAction->trigger(); },
                [&](WorkerList *l) {
                    QVERIFY(whileShown<WorkerEditor>(
                        [&] { click(l->addButton); },
                        [&](WorkerEditor *e) { fill(e->nameEdit, e->saveButton, e); }));
                }));
        } else if (field == "product") {
            QVERIFY(whileShown<ProductList>([] { shiftJournalWindow->productsAction->trigger(); },
                                            [&](ProductList *l) {
                                                QVERIFY(whileShown<ProductEditor>(
                                                    [&] { click(l->addButton); },
                                                    [&](ProductEditor *e) {
                                                        e->rateEdit->setText("1.5");
                                                        e->itemBox->setCurrentIndex(0);
                                                        fill(e->markEdit, e->saveButton, e);
                                                    }));
                                            }));
        } else {
            QVERIFY(whileShown<OperationKindList>(
                [] { shiftJournalWindow->operationKindsAction->trigger(); },
                [&](OperationKindList *l) {
                    QVERIFY(whileShown<OperationKindEditor>(
                        [&] { click(l->addButton); },
                        [&](OperationKindEditor *e) { fill(e->nameEdit, e->saveButton, e); }));
                }));
        }
        if (saved) {
            QVERIFY2(msg_->shown.isEmpty(), qPrintable(msg_->texts().join('|')));
            QCOMPARE(newest(field), expected);
        } else {
            QCOMPARE(msg_->shown.size(), 1);
            QVERIFY2(clearRefusal(msg_->shown[0].text), qPrintable(msg_->shown[0].text));
            QCOMPARE(fingerprint(), before);
        }
        // Nothing but the one new row.
        const QStringList was = before.split('/'), now = fingerprint().split('/');
        int grown = 0;
        for (int i = 0; i < was.size(); ++i)
            grown += now[i].toInt() - was[i].toInt();
        QCOMPARE(grown, saved ? 1 : 0);
    }

    void searchBoxes_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("typed");
        for (const char *list : {"workers", "products", "kinds"})
            for (const auto &in : inputs())
                QTest::addRow("%s: %s", list, in.first) << QString(list) << in.second;
    }
    void searchBoxes()
    {
        QFETCH(QString, list);
        QFETCH(QString, typed);
        const QString before = fingerprint();
        auto search = [&](QLineEdit *box) {
            box->clear();
            box->insert(typed);
            QVERIFY(box->isVisible());
            QVERIFY(box->window()->isVisible());
            box->clear();
        };
        if (list == "workers")
            QVERIFY(whileShown<WorkerList>([] { shiftJournalWindow->workersAction->trigger(); },
                                           [&](WorkerList *l) { search(l->searchEdit); }));
        else if (list == "products")
            QVERIFY(whileShown<ProductList>([] { shiftJournalWindow->productsAction->trigger(); },
                                            [&](ProductList *l) { search(l->searchEdit); }));
        else // the kinds list searches in its pick mode
            QVERIFY(whileShown<OperationKindList>(
                [] { operationKindList->pickFrom(shiftJournalWindow, 1, nullptr); },
                [&](OperationKindList *l) { search(l->searchEdit); }));
        QVERIFY2(msg_->shown.isEmpty(), qPrintable(msg_->texts().join('|')));
        QCOMPARE(fingerprint(), before);
    }
};

TABEL_TEST_MAIN(HostileTest)
#include "tst_hostile.moc"
