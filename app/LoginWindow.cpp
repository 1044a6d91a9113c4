#include "LoginWindow.h"

#include "Startup.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "journal/ShiftJournalWindow.h"
#include "reports/ReportsWindow.h"
#include "shop/DataModule.h"
#include "shop/Roles.h"
#include "ui/Messages.h"
#include "ui/RadioGroup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

LoginWindow *loginWindow = nullptr;

LoginWindow::LoginWindow(QWidget *parent) : ui::Form(parent)
{
    loginWindow = this;
    setObjectName(QStringLiteral("loginWindow"));
    setPlacement(Placement::Screen);
    setWindowTitle(QStringLiteral("Авторизация"));

    auto *root = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Код доступа:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    // Each typed character of the code shows as an asterisk.
    Edit1->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Edit1->setMinimumWidth(220);
    label->setBuddy(Edit1);
    root->addWidget(label);
    root->addWidget(Edit1);
    auto *buttons = new QHBoxLayout;
    Button1 = newButton("Button1", QStringLiteral("Вход"));
    Button2 = newButton("Button2", QStringLiteral("Отмена"));
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    root->addLayout(buttons);
    makeDefault(Button1);
    setCancelButton(Button2);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, [] { endProgram(); });

    ver = new db::Dataset(QStringLiteral("ver"), this);
    ver->setSql(QStringLiteral("select ctid, d, t, delim from accounts_dep.ver"));
    ver->setUpdateTable(QStringLiteral("accounts_dep.ver"), QStringLiteral("ctid"));

    connect(Button1, &QPushButton::clicked, this, &LoginWindow::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    // The login window is the main window: when it closes, the program ends.
    connect(this, &QDialog::finished, this, [] { endProgram(); });
}

void LoginWindow::FormActivate()
{
    CheckVersion();
    setWindowTitle(QStringLiteral("Авторизация (build: %1.%2)")
                       .arg(shiftJournalWindow->buildDate)
                       .arg(shiftJournalWindow->buildTime));
    Edit1->setFocus();
}

void LoginWindow::CheckVersion()
{
    // While the server is away the guard waits quietly: the user's own next action tells
    // about the lost connection, and each check tries to connect again.
    try {
        checkVersionRecord();
    } catch (const db::ConnectionLost &) {
        ver->close();
    }
}

void LoginWindow::checkVersionRecord()
{
    const int buildDate = shiftJournalWindow->buildDate;
    const int buildTime = shiftJournalWindow->buildTime;
    ver->close();
    ver->open();
    ver->first();
    dataModule->ServerDelim = ver->asString(QStringLiteral("delim"));
    const int d = ver->asInteger(QStringLiteral("d"));
    const int t = ver->asInteger(QStringLiteral("t"));
    if (d < buildDate || (d == buildDate && t < buildTime)) {
        if (ver->isEmpty())
            ver->append();
        ver->setValue(QStringLiteral("d"), buildDate);
        ver->setValue(QStringLiteral("t"), buildTime);
        ver->post();
    }
    ver->close();
    if (buildDate < d || (buildDate == d && buildTime < t))
        endForNewerVersion();
}

void LoginWindow::endForNewerVersion()
{
    // Told once: the checks that come while the user answers or finishes his work ask nothing.
    if (endingForNewerVersion_)
        return;
    endingForNewerVersion_ = true;
    const QString caption = QStringLiteral("Версия программы");
    if (!ui::Form::typedWorkOpen()) {
        // Nothing typed is open: the copy ends when the box is closed, or by itself in 5 s.
        Timer1->start();
        ui::showError(QStringLiteral("В базе данных записана более новая версия программы. Эта "
                                     "копия закрывается: запустите новую версию."),
                      caption);
        endProgram();
        endingForNewerVersion_ = false;
        return;
    }
    // An editor holds typed work: the user saves or cancels it first, or ends now if he says so.
    if (ui::askYesNo(QStringLiteral("В базе данных записана более новая версия программы, и эту "
                                    "копию нужно закрыть.\n\nВ открытом окне есть несохранённые "
                                    "данные. Закрыть программу сейчас, не сохраняя их?\n\n«Нет» — "
                                    "сохраните или отмените данные: программа закроется, когда "
                                    "окно будет закрыто."),
                     caption)) {
        endProgram();
        endingForNewerVersion_ = false;
        return;
    }
    ui::Form::whenNoTypedWork([this] {
        endProgram();
        endingForNewerVersion_ = false;
    });
}

void LoginWindow::Button1Click()
{
    // Shift 1, its button chosen with it so that the grid shows the shift acted on.
    shiftJournalWindow->RadioButton1->setChecked(true);
    shiftJournalWindow->shift = 1;
    shiftJournalWindow->accessRole = Edit1->text().trimmed();
    const Role role = roleOf(shiftJournalWindow->accessRole);
    shiftJournalWindow->N11->menuAction()->setEnabled(role == Role::Administrator);

    for (db::Dataset *q : dataModule->journals())
        q->setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    if (role == Role::Refused) {
        ui::showError(QStringLiteral("Введены неверные данные."), QStringLiteral("Ошибка"));
        return;
    }
    // What a role takes away stays taken until the program ends; a closed month gives back
    // only what no role took.
    for (QWidget *w : shiftJournalWindow->findChildren<QWidget *>())
        w->setProperty("takenByRole", QVariant());
    for (const QString &name : disabledInJournal(role)) {
        if (auto *menu = shiftJournalWindow->findChild<QMenu *>(name))
            menu->menuAction()->setEnabled(false);
        else if (auto *w = shiftJournalWindow->findChild<QWidget *>(name)) {
            w->setEnabled(false);
            w->setProperty("takenByRole", true);
        }
    }
    // The change history names the role behind the code and the computer's user.
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    db::setSessionSetting(QStringLiteral("tabel.user"),
                          user.isEmpty()
                              ? roleName(role)
                              : roleName(role) + QStringLiteral(" (") + user + QLatin1Char(')'));
    for (const QString &name : disabledInReports(role))
        if (auto *w = reportsWindow->findChild<QWidget *>(name))
            w->setEnabled(false);
    if (reportsFinishedOnly(role)) {
        reportsWindow->RadioGroup1->setItemIndex(1);
        reportsWindow->RadioGroup1->setEnabled(false);
    }
    enterJournal();
}

void LoginWindow::enterJournal()
{
    hide();
    showChild(shiftJournalWindow);
    done(QDialog::Rejected); // closing the main window ends the program
}
