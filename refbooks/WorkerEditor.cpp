#include "WorkerEditor.h"

#include "ListForm.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
#include "db/SqlText.h"
#include "reports/PayStatementWindow.h"
#include "shop/DataModule.h"
#include "ui/LookupCombo.h"
#include "ui/Messages.h"

#include <QDate>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

WorkerEditor *workerEditor = nullptr;

namespace {

LookupCombo *lookup(QWidget *parent, const char *name, const char *table, const char *dsName)
{
    auto *ds = new db::Dataset(QLatin1String(dsName), parent);
    ds->setSql(QStringLiteral("select id, s_caption from %1 order by s_caption")
                   .arg(QLatin1String(table)));
    auto *box = new LookupCombo(QLatin1String(name), ds, QStringLiteral("id"),
                                QStringLiteral("s_caption"), parent);
    box->setMinimumWidth(300);
    return box;
}

} // namespace

WorkerEditor::WorkerEditor(QWidget *parent) : ui::Form(parent)
{
    workerEditor = this;
    setObjectName(QStringLiteral("workerEditor"));
    setHoldsTypedWork(true);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(254);
    LCB_department = lookup(this, "LCB_department", "cmn_department.department", "department");
    LCB_staffpos = lookup(this, "LCB_staffpos", "hrms_staffpos.staffpos", "staffpos");
    LCB_roles = lookup(this, "LCB_roles", "adm_role.roles", "roles");

    auto *frame = new QGroupBox(QStringLiteral("Данные о работнике"), this);
    auto *form = new QFormLayout(frame);
    form->addRow(QStringLiteral("ФИО"), Edit1);
    form->addRow(QStringLiteral("Подразделение"), LCB_department);
    form->addRow(QStringLiteral("Должность"), LCB_staffpos);
    form->addRow(QStringLiteral("Роль"), LCB_roles);
    payStatementButton = newButton("payStatementButton", QStringLiteral("Расчетный листок..."));
    payStatementButton->setParent(frame);
    payStatementButton->setAutoDefault(false);
    form->addRow(QString(), payStatementButton);
    connect(payStatementButton, &QPushButton::clicked, this, [this] {
        const QDate today = QDate::currentDate();
        payStatementWindow->openFor(this, personId, Edit1->text().trimmed(), today.month(),
                                    today.year());
    });

    const EditorButtons buttons = layOutEditor(frame, true);
    Button1 = buttons.save;
    Button2 = buttons.cancel;
    connect(Button1, &QPushButton::clicked, this, &WorkerEditor::Button1Click);

    setTabOrder(Edit1, LCB_staffpos);
    setTabOrder(LCB_staffpos, LCB_department);
    setTabOrder(LCB_department, LCB_roles);
    setTabOrder(LCB_roles, payStatementButton);
    setTabOrder(payStatementButton, Button1);
    setTabOrder(Button1, Button2);

    // The wheel walks the lookup box that has the focus, and nothing else.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    installEventFilter(this);
}

void WorkerEditor::FormActivate()
{
    payStatementButton->setVisible(mode == ui::EditMode::Change && personId > 0);
    Edit1->setFocus();
}

void WorkerEditor::reopenLookups()
{
    LCB_staffpos->reload();
    LCB_roles->reload();
    LCB_department->reload();
}

void WorkerEditor::showDepartment(const QString &stored)
{
    storedDepartment_ = stored;
    const int at = stored.isEmpty() ? -1 : LCB_department->findText(stored);
    if (at >= 0)
        LCB_department->setCurrentIndex(at);
    else
        LCB_department->setKeyValue(QVariant());
    departmentShown_ = LCB_department->currentIndex();
}

bool WorkerEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        QWidget *focus = focusWidget();
        for (LookupCombo *box : {LCB_roles, LCB_staffpos, LCB_department}) {
            if (focus == box && dy != 0)
                box->step(dy < 0 ? 1 : -1);
        }
        return true;
    }
    return ui::Form::eventFilter(watched, event);
}

void WorkerEditor::Button1Click()
{
    const QString name = Edit1->text().trimmed();
    if (name.isEmpty()) {
        ui::showError(QStringLiteral("ФИО нужно заполнить!"), QStringLiteral("Ошибка"));
        return;
    }
    // A change keeps the stored department unless the user chose one in the box.
    const bool chosen =
        mode == ui::EditMode::Add || LCB_department->currentIndex() != departmentShown_;
    const QString department = chosen ? LCB_department->currentText() : storedDepartment_;
    if (mode == ui::EditMode::Add) {
        cmd_person.setSql(QStringLiteral("INSERT INTO accounts_dep.person (fio, "
                                         "s_staffpos_hl)VALUES(") +
                          db::quote(name) + QStringLiteral(", ") + db::quote(department) +
                          QStringLiteral(")"));
        cmd_person.execute();
        accept();
        return;
    }
    cmd_person.setSql(QStringLiteral("UPDATE accounts_dep.person SET fio=") + db::quote(name) +
                      QStringLiteral(", s_staffpos_hl=") + db::quote(department) +
                      QStringLiteral(" where accounts_dep.person.id=") + QString::number(personId) +
                      QStringLiteral(" and xmin=:row_ver::xid"));
    db::Dataset *workers = dataModule->Workers;
    try {
        updateRowAsRead(cmd_person, workers, personId, rowVer);
    } catch (const db::RowChanged &) {
        // The editor stays open with what was typed; a department the user did not choose
        // follows the row as it now is.
        if (!chosen && workers->locate(QStringLiteral("id"), personId))
            showDepartment(workers->asString(QStringLiteral("s_staffpos_hl")).trimmed());
        throw;
    }
    accept();
}
