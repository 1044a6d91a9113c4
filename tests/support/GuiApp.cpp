#include "GuiApp.h"

#include "TestDb.h"
#include "app/Startup.h"
#include "app/Unit6.h"

namespace gui {

namespace {
int ends = 0;
}

QString start(const QString &templateName)
{
    const QString name = testdb::create(templateName);
    TDataModule6::setPortOverride(testdb::port());
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

} // namespace gui
