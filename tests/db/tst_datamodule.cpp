// The shared queries of the data module and the schema they run on.
#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "TestDb.h"
#include "db/Command.h"
#include "db/SqlError.h"
#include "shop/DataModule.h"
#include "shop/Products.h"
#include "ui/Messages.h"

class DataModuleTest : public QObject {
    Q_OBJECT
    QString db_;
    DataModule *dm_ = nullptr;
    ScriptedMessages msg_;
    int product_ = 0, kind_ = 0;
    testdb::Shop shop_;

    int add(const QString &sql) { return testdb::scalar(db_, sql + " returning id").toInt(); }
    int worker(const QString &fio) { return shop_.worker(fio); }
    int oper(int naimen, QList<double> prices)
    {
        const int id = shop_.operation(kind_, product_, naimen);
        for (double p : prices)
            testdb::run(db_,
                        QStringLiteral("insert into accounts_dep.norm (o_id, norma, price, prize) "
                                       "values (%1, 10, %2, 0)")
                            .arg(id)
                            .arg(p));
        return id;
    }
    void entry(int w, int o, int shift, const QString &date, int qty, int brak, double price,
               int hours, const QString &ok = "no")
    {
        shop_.entry(w)
            .operation(o, product_)
            .price(price)
            .made(qty, brak)
            .on(QDate::fromString(date, QStringLiteral("dd.MM.yyyy")), shift)
            .color(0)
            .hours(hours)
            .enteredNow()
            .mark(ok.isNull() ? QVariant() : QVariant(ok))
            .insert();
    }

private slots:
    void initTestCase()
    {
        db_ = testdb::create(QStringLiteral("tabel_schema"));
        shop_ = testdb::Shop(db_);
        testdb::connectProgram(db_);
        dm_ = new DataModule;
        dataModule = dm_;
        const int item =
            add("insert into cmn_classifier.item (id, id_classifier, id_level, s_code, "
                "s_caption, b_excluded) values (501, 1, 2, '501', 'Двери', false)");
        product_ =
            add(QStringLiteral("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, "
                               "id_msm_bs, massa, id_class_item) values ('ДМ-1', '', 6, 2.5, %1)")
                    .arg(item));
        kind_ = add("insert into accounts_dep.vid_oper (vid) values ('Сварка')");
    }
    void cleanupTestCase()
    {
        delete dm_;
        dataModule = nullptr;
        testdb::drop(db_);
    }

    void productsAndWorkersAreSeenAtOnce()
    {
        // A product written into goods and services is a product at once.
        dm_->Izdel->reopen();
        QVERIFY(dm_->Izdel->locate("id", product_));
        QCOMPARE(dm_->Izdel->asString("marka"), QStringLiteral("ДМ-1"));
        QCOMPARE(dm_->Izdel->asString("nom"), QStringLiteral("Двери"));
        QCOMPARE(dm_->Izdel->asFloat("massa"), 2.5);
        // A worker added here is a person of the plant with his number as code.
        const int w = worker("Кузнецов К.К.");
        QCOMPARE(testdb::scalar(
                     db_, QStringLiteral("select s_caption||'/'||s_code from cmn_contractor.person "
                                         "where id=%1")
                              .arg(w))
                     .toString(),
                 QStringLiteral("Кузнецов К.К./%1").arg(w));
        testdb::run(db_,
                    QStringLiteral("update accounts_dep.person set fio='Кузнецов А.А.' where id=%1")
                        .arg(w));
        QCOMPARE(
            testdb::scalar(
                db_,
                QStringLiteral("select s_caption from cmn_contractor.person where id=%1").arg(w))
                .toString(),
            QStringLiteral("Кузнецов А.А."));
        dm_->Workers->reopen();
        QVERIFY(dm_->Workers->locate("id", w));
    }

    void operationsListedWithLowestNormPrice()
    {
        const int priced = oper(0, {12.5, 7.25, 9});
        const int blanks = oper(1, {3});
        const int bare = oper(0, {});
        dm_->Oper->reopen();
        QVERIFY(!dm_->Oper->locate("id", bare)); // no norm rows: not offered
        QVERIFY(dm_->Oper->locate("id", priced));
        QCOMPARE(dm_->Oper->asFloat("cena"), 7.25);
        QCOMPARE(dm_->Oper->asInteger("norma"), 3);
        QCOMPARE(dm_->Oper->asString("nmn"), QStringLiteral("Готовая продукция"));
        QCOMPARE(dm_->Oper->asInteger("oper_vid"), kind_);
        QVERIFY(dm_->Oper->locate("id", blanks));
        QCOMPARE(dm_->Oper->asString("nmn"), QStringLiteral("Заготовки"));
    }

    void journalQueriesHideAndMatchWorkers()
    {
        const int o = oper(0, {2});
        const int a = worker("Алексеев А.А.");
        const int b = worker("Борисов Б.Б.");
        // A worker known to the plant only by his code (listed once, by that person row).
        testdb::run(db_, QStringLiteral("insert into cmn_contractor.person (id, s_caption, s_code) "
                                        "values (900000777, 'Кодов К.К.', '%1')")
                             .arg(b + 1000));
        testdb::run(db_,
                    QStringLiteral("insert into accounts_dep.person (id, fio) values (%1, 'Кодов')")
                        .arg(b + 1000));
        for (int shift = 1; shift <= 4; ++shift) {
            entry(b, o, shift, "04.05.2019", 10, 1, 2, 8, "ok");
            entry(a, o, shift, "04.05.2019", 10, 1, 2, 8, "да");
            entry(a, o, shift, "04.05.2019", 5, 0, 2, 8, "no");
            entry(a, o, shift, "04.05.2019", 5, 0, 2, 8, "ta");
            entry(a, o, shift, "04.05.2019", 5, 0, 2, 8, QString());
            entry(b + 1000, o, shift, "04.05.2019", 1, 0, 2, 1, "no");
            entry(a, o, shift, "05.05.2019", 5, 0, 2, 8, "no");
        }
        for (int shift = 1; shift <= 4; ++shift) {
            db::Dataset *q = dm_->smena(shift);
            q->close();
            q->setParam("data", QDate(2019, 5, 4));
            q->setParam("ok", "ta");
            q->open();
            QStringList names;
            for (q->first(); !q->eof(); q->next())
                names << q->asString("fio") + ":" + q->asString("ok");
            QCOMPARE(names, (QStringList{"Алексеев А.А.:да", "Алексеев А.А.:no", "Борисов Б.Б.:ok",
                                         "Кодов:no"}));
            QVERIFY(q->locate("ok", "да"));
            QCOMPARE(q->asFloat("summa"), 18.0); // (10 - 1) * 2
            QCOMPARE(q->asInteger("smena"), shift);
        }
        QCOMPARE(dm_->smena(0), dm_->Smena1);
    }

    void timesheetQuerySumsPeriodPay()
    {
        const int o = oper(0, {1});
        const int w = worker("Тимофеев Т.Т.");
        const int idle = worker("Простоев П.П.");
        entry(w, o, 1, "03.06.2019", 10, 2, 1.5, 8); // 12.00
        entry(w, o, 2, "04.06.2019", 4, 0, 2, 4);    // 8.00, another shift counts in the pay
        entry(w, o, 1, "01.07.2019", 100, 0, 1, 8);  // outside the period
        testdb::run(db_,
                    QStringLiteral(
                        "insert into accounts_dep.h_tabel (w_id, smena, month, year, d3, d4, d5) "
                        "values (%1, 1, 6, 2019, 8, 0, null), (%2, 1, 6, 2019, 5, null, null)")
                        .arg(w)
                        .arg(idle));
        db::Dataset *q = dm_->H_Tabel_1;
        q->close();
        q->setParam("mnth", 6);
        q->setParam("yea", 2019);
        q->setParam("date1", QDate(2019, 6, 1));
        q->setParam("date2", QDate(2019, 7, 1));
        q->open();
        QCOMPARE(q->recordCount(), 1); // the worker with no entries in the period is not listed
        QCOMPARE(q->asString("fio"), QStringLiteral("Тимофеев Т.Т."));
        QCOMPARE(q->asInteger("summ"), 8);
        QCOMPARE(q->asFloat("cena_all"), 20.0);
        QCOMPARE(q->asFloat("average_price"), 2.5);
        QVERIFY(q->isNull("d4")); // zero shows as nothing
        QCOMPARE(q->asInteger("d3"), 8);
        QCOMPARE(q->asInteger("i_type"), 0);
        QCOMPARE(q->asInteger("i_night"), 0);
        for (db::Dataset *other : {dm_->H_Tabel_2, dm_->H_Tabel_3}) {
            other->close();
            other->setParam("mnth", 6);
            other->setParam("yea", 2019);
            other->setParam("date1", QDate(2019, 6, 1));
            other->setParam("date2", QDate(2019, 7, 1));
            other->open();
            QVERIFY(other->isEmpty());
        }
    }

    void countCheck_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("result");
        QTest::newRow("found") << "select 2 as cnt" << 1;
        QTest::newRow("zero") << "select 0 as cnt" << 0;
        QTest::newRow("null") << "select null::integer as cnt" << 0;
        QTest::newRow("no row") << "select 1 as cnt where false" << 0;
    }
    void countCheck()
    {
        QFETCH(QString, sql);
        QFETCH(int, result);
        msg_.clear();
        QCOMPARE(dm_->CountCheck(sql, "Такая операция уже заведена!"), result);
        if (result) {
            QCOMPARE(msg_.shown.size(), 1);
            QCOMPARE(msg_.shown[0].kind, QStringLiteral("error"));
            QCOMPARE(msg_.shown[0].caption, QStringLiteral("Ошибка"));
            QCOMPARE(msg_.shown[0].text, QStringLiteral("Такая операция уже заведена!"));
        } else {
            QVERIFY(msg_.shown.isEmpty());
        }
        QVERIFY(!dm_->Control->isActive());
    }

    void dayFirstDatesAndEmptyVersion()
    {
        QCOMPARE(testdb::scalar(db_, "select '01.02.2024'::date").toDate(), QDate(2024, 2, 1));
        db::Dataset q;
        q.setSql("select '01.02.2024'::date as d");
        q.open();
        QCOMPARE(q.asDate("d"), QDate(2024, 2, 1));
        QCOMPARE(testdb::scalar(db_, "select count(*) from accounts_dep.ver").toInt(), 0);
    }

    void usedWorkerAndKindCannotBeDeleted()
    {
        const int o = oper(0, {1});
        const int w = worker("Занятов З.З.");
        entry(w, o, 1, "01.08.2019", 1, 0, 1, 1);
        QVERIFY_THROWS_EXCEPTION(
            db::SqlError,
            db::Command(QStringLiteral("delete from accounts_dep.person where id =%1").arg(w))
                .execute());
        QVERIFY_THROWS_EXCEPTION(
            db::SqlError,
            db::Command(QStringLiteral("delete from accounts_dep.vid_oper where id=%1").arg(kind_))
                .execute());
        // A product goes with its operations left behind (the delete asks first), but not
        // while shift entries name it; the program's login deletes it only through the
        // server's function.
        const int p =
            add("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, id_msm_bs, "
                "massa, id_class_item) values ('Временный', '', 6, 1, 501)");
        testdb::run(
            db_,
            QStringLiteral(
                "insert into accounts_dep.oper (vid, naimen, i_id, cena_new) values (%1, 0, %2, 0)")
                .arg(kind_)
                .arg(p));
        QVERIFY_THROWS_EXCEPTION(
            db::SqlError,
            db::Command(
                QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv where id=%1").arg(p))
                .execute());
        const QString rowVer = testdb::scalar(db_, QStringLiteral("select xmin::text from "
                                                                  "cmn_gds_and_srv.gds_and_srv "
                                                                  "where id=%1")
                                                       .arg(product_))
                                   .toString();
        try {
            products::remove(product_, rowVer, {false, false, true});
            QFAIL("a product that entries name must stay");
        } catch (const db::SqlError &e) {
            QCOMPARE(e.sqlState(), QStringLiteral("23503"));
            QCOMPARE(ui::describeDbError(e).text,
                     QStringLiteral("Изделие нельзя удалить: по нему есть записи в журнале смен."));
        }
        products::remove(p,
                         testdb::scalar(db_, QStringLiteral("select xmin::text from "
                                                            "cmn_gds_and_srv.gds_and_srv "
                                                            "where id=%1")
                                                 .arg(p))
                             .toString(),
                         {false, false, true});
        QCOMPARE(testdb::scalar(db_, QStringLiteral("select count(*) from "
                                                    "cmn_gds_and_srv.gds_and_srv where id=%1")
                                         .arg(p))
                     .toInt(),
                 0);
    }
};

TABEL_TEST_MAIN(DataModuleTest)
#include "tst_datamodule.moc"
