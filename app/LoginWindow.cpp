#include "LoginWindow.h"

#include "ProgramEnd.h"
#include "db/Command.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "journal/ShiftJournalWindow.h"
#include "reports/ReportsWindow.h"
#include "shop/DataModule.h"
#include "shop/Roles.h"
#include "ui/Messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    codeEdit = new QLineEdit(this);
    codeEdit->setObjectName(QStringLiteral("codeEdit"));
    codeEdit->setEchoMode(QLineEdit::Password);
    // Each typed character of the code shows as an asterisk.
    codeEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    codeEdit->setMinimumWidth(220);
    label->setBuddy(codeEdit);
    root->addWidget(label);
    root->addWidget(codeEdit);
    auto *buttons = new QHBoxLayout;
    enterButton = newButton("enterButton", QStringLiteral("Вход"));
    cancelButton = newButton("cancelButton", QStringLiteral("Отмена"));
    buttons->addStretch();
    buttons->addWidget(enterButton);
    buttons->addWidget(cancelButton);
    root->addLayout(buttons);
    makeDefault(enterButton);
    setCancelButton(cancelButton);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    endTimer = new QTimer(this);
    endTimer->setObjectName(QStringLiteral("endTimer"));
    endTimer->setInterval(5000);
    endTimer->setSingleShot(true);
    endTimer->setTimerType(Qt::PreciseTimer);
    connect(endTimer, &QTimer::timeout, this, [] { endProgram(); });

    ver = new db::Dataset(QStringLiteral("ver"), this);
    ver->setSql(QStringLiteral("select d, t, delim from accounts_dep.ver"));

    connect(enterButton, &QPushButton::clicked, this, &LoginWindow::enterClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // The login window is the main window: when it closes, the program ends.
    connect(this, &QDialog::finished, this, [] { endProgram(); });
}

void LoginWindow::FormActivate()
{
    CheckVersion();
    setWindowTitle(QStringLiteral("Авторизация (build: %1.%2)")
                       .arg(shiftJournalWindow->buildDate)
                       .arg(shiftJournalWindow->buildTime));
    codeEdit->setFocus();
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
    // The separator goes into product numbers: a point or a comma, nothing else.
    const QString delim = ver->asString(QStringLiteral("delim"));
    dataModule->ServerDelim =
        delim == QLatin1String(".") || delim == QLatin1String(",") ? delim : QString();
    const int d = ver->asInteger(QStringLiteral("d"));
    const int t = ver->asInteger(QStringLiteral("t"));
    if (d < buildDate || (d == buildDate && t < buildTime)) {
        // Only the server writes the record: it raises the stamp to this build, never
        // lowers it.
        db::Command stamp(QStringLiteral("select accounts_dep.stamp_version(:d, :t)"));
        stamp.setParam(QStringLiteral("d"), buildDate);
        stamp.setParam(QStringLiteral("t"), buildTime);
        stamp.execute();
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
        endTimer->start();
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

void LoginWindow::enterClick()
{
    shiftJournalWindow->startSession(codeEdit->text().trimmed());
    const Role role = roleOf(shiftJournalWindow->accessRole);

    for (db::Dataset *q : dataModule->journals())
        q->setParam(QStringLiteral("ok"), QStringLiteral("ta"));
    if (role == Role::Refused) {
        ui::showError(QStringLiteral("Введены неверные данные."), QStringLiteral("Ошибка"));
        return;
    }
    // The server holds the rights: a code works only for a login that holds its role's.
    const QString refusal = loginRefusal(role);
    if (!refusal.isEmpty()) {
        ui::showError(refusal, QStringLiteral("Ошибка"));
        return;
    }
    shiftJournalWindow->applyRole(role);
    // The change history names the role behind the code and the computer's user.
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    db::setSessionSetting(QStringLiteral("tabel.user"),
                          user.isEmpty()
                              ? roleName(role)
                              : roleName(role) + QStringLiteral(" (") + user + QLatin1Char(')'));
    reportsWindow->applyRole(role);
    enterJournal();
}

void LoginWindow::enterJournal()
{
    hide();
    showChild(shiftJournalWindow);
    done(QDialog::Rejected); // closing the main window ends the program
}
