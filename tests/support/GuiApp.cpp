#include "GuiApp.h"

#include "ScriptedMessages.h"
#include "TestDb.h"
#include "app/ProgramEnd.h"
#include "app/Startup.h"
#include "db/Dataset.h"
#include "journal/ShiftJournalWindow.h"
#include "shop/DataModule.h"

namespace gui {

namespace {
int ends = 0;
}

QString start(const QString &templateName)
{
    const QString name = testdb::create(templateName);
    DataModule::setPortOverride(testdb::port());
    // The program logs in as a login of the administrators' group that the test command
    // made, as at a site, not as a superuser; the program itself holds no password.
    qputenv("PGUSER", "tabel_test");
    qputenv("PGPASSWORD", "wexapol");
    recordEnds();
    if (!createForms({name, testdb::host()}))
        qFatal("the program could not connect to %s", qPrintable(name));
    return name;
}

void stop(const QString &dbName)
{
    testdb::drop(dbName);
}

int endRequests()
{
    return ends;
}

void recordEnds()
{
    setEndProgramHandler([] { ++ends; });
}

void resetEndRequests()
{
    ends = 0;
}

void Fixture::startProgram(const QString &templateName)
{
    db_ = start(templateName);
    shop = testdb::Shop(db_);
    msg_ = new ScriptedMessages;
}

void Fixture::loggedInAs(const QString &code)
{
    shiftJournalWindow->accessRole = code;
    for (db::Dataset *q : dataModule->journals())
        q->setParam(QStringLiteral("ok"), QStringLiteral("ta"));
}

void Fixture::closeProgram()
{
    shiftJournalWindow->hide();
    delete msg_;
    msg_ = nullptr;
}

void Fixture::cleanupTestCase()
{
    closeProgram();
    stop(db_);
}

void Fixture::init()
{
    msg_->clear();
}

} // namespace gui
