#include "Startup.h"

#include "BuildInfo.h"
#include "Unit23.h"

#include "journal/Unit1.h"
#include "journal/Unit11.h"
#include "journal/Unit29.h"
#include "maintenance/Unit24.h"
#include "maintenance/Unit25.h"
#include "maintenance/Unit26.h"
#include "refbooks/Unit10.h"
#include "refbooks/Unit2.h"
#include "refbooks/Unit22.h"
#include "refbooks/Unit3.h"
#include "refbooks/Unit4.h"
#include "refbooks/Unit5.h"
#include "refbooks/Unit7.h"
#include "refbooks/Unit8.h"
#include "refbooks/Unit9.h"
#include "reports/Unit16.h"
#include "reports/Unit17.h"
#include "reports/Unit18.h"
#include "reports/Unit20.h"
#include "reports/Unit21.h"
#include "timesheets/Unit15.h"
#include "timesheets/Unit19.h"
#include "timesheets/Unit27.h"
#include "timesheets/Unit28.h"

#include <QCoreApplication>

namespace {
std::function<void()> endHandler;
}

bool createForms(const QStringList &args)
{
    new TForm1(args);
    if (!Form1->connected())
        return false;
    const BuildStamp stamp = buildStamp();
    Form1->buildDate = stamp.date;
    Form1->buildTime = stamp.time;
    new TForm23();
    Form1->setVersionCheck([] { Form23->CheckVersion(); });
    ui::Form::setMainForm(Form1);
    new TForm2();
    new TForm3();
    new TForm4();
    new TForm5();
    new TForm7();
    new TForm8();
    new TForm9();
    new TForm10();
    new TForm11();
    new TForm18();
    new TForm19();
    new TForm21();
    new TForm15();
    new TForm16();
    new TForm17();
    new TForm20();
    new TForm22();
    new TForm24();
    new TForm25();
    new TForm26();
    new TForm27();
    new TForm28();
    new TForm29();
    return true;
}

void endProgram()
{
    if (endHandler) {
        endHandler();
        return;
    }
    QCoreApplication::exit(0);
}

void setEndProgramHandler(std::function<void()> handler)
{
    endHandler = std::move(handler);
}
