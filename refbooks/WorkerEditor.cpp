#include "WorkerEditor.h"

#include "ListForm.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlError.h"
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

    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("nameEdit"));
    nameEdit->setMaxLength(254);
    departmentBox = lookup(this, "departmentBox", "cmn_department.department", "department");
    positionBox = lookup(this, "positionBox", "hrms_staffpos.staffpos", "staffpos");
    roleBox = lookup(this, "roleBox", "adm_role.roles", "roles");

    auto *frame = new QGroupBox(QStringLiteral("Данные о работнике"), this);
    auto *form = new QFormLayout(frame);
    form->addRow(QStringLiteral("ФИО"), nameEdit);
    form->addRow(QStringLiteral("Подразделение"), departmentBox);
    form->addRow(QStringLiteral("Должность"), positionBox);
    form->addRow(QStringLiteral("Роль"), roleBox);
    payStatementButton = newButton("payStatementButton", QStringLiteral("Расчетный листок..."));
    payStatementButton->setParent(frame);
    payStatementButton->setAutoDefault(false);
    form->addRow(QString(), payStatementButton);
    connect(payStatementButton, &QPushButton::clicked, this, [this] {
        const QDate today = QDate::currentDate();
        payStatementWindow->openFor(this, personId, nameEdit->text().trimmed(), today.month(),
                                    today.year());
    });

    const EditorButtons buttons = layOutEditor(frame, true);
    saveButton = buttons.save;
    cancelButton = buttons.cancel;
    connect(saveButton, &QPushButton::clicked, this, &WorkerEditor::saveClick);

    setTabOrder(nameEdit, positionBox);
    setTabOrder(positionBox, departmentBox);
    setTabOrder(departmentBox, roleBox);
    setTabOrder(roleBox, payStatementButton);
    setTabOrder(payStatementButton, saveButton);
    setTabOrder(saveButton, cancelButton);

    // The wheel walks the lookup box that has the focus, and nothing else.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    installEventFilter(this);
}

void WorkerEditor::FormActivate()
{
    payStatementButton->setVisible(mode == ui::EditMode::Change && personId > 0);
    nameEdit->setFocus();
}

void WorkerEditor::startAdd()
{
    nameEdit->clear();
    setWindowTitle(QStringLiteral("Заведение данных нового работника"));
    mode = ui::EditMode::Add;
    reopenLookups();
}

void WorkerEditor::startChange(const Worker &worker)
{
    setWindowTitle(QStringLiteral("Изменение данных работника"));
    mode = ui::EditMode::Change;
    reopenLookups();
    showDepartment(worker.department);
    nameEdit->setText(worker.name);
    personId = worker.id;
    rowVer = worker.rowVer;
}

void WorkerEditor::reopenLookups()
{
    positionBox->reload();
    roleBox->reload();
    departmentBox->reload();
}

void WorkerEditor::showDepartment(const QString &stored)
{
    storedDepartment_ = stored;
    const int at = stored.isEmpty() ? -1 : departmentBox->findText(stored);
    if (at >= 0)
        departmentBox->setCurrentIndex(at);
    else
        departmentBox->setKeyValue(QVariant());
    departmentShown_ = departmentBox->currentIndex();
}

bool WorkerEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        const int dy = static_cast<QWheelEvent *>(event)->angleDelta().y();
        QWidget *focus = focusWidget();
        for (LookupCombo *box : {roleBox, positionBox, departmentBox}) {
            if (focus == box && dy != 0)
                box->step(dy < 0 ? 1 : -1);
        }
        return true;
    }
    return ui::Form::eventFilter(watched, event);
}

void WorkerEditor::saveClick()
{
    const QString name = nameEdit->text().trimmed();
    if (name.isEmpty()) {
        ui::showError(QStringLiteral("ФИО нужно заполнить!"), QStringLiteral("Ошибка"));
        return;
    }
    // A change keeps the stored department unless the user chose one in the box.
    const bool chosen =
        mode == ui::EditMode::Add || departmentBox->currentIndex() != departmentShown_;
    const QString department = chosen ? departmentBox->currentText() : storedDepartment_;
    if (mode == ui::EditMode::Add) {
        db::Command insert(QStringLiteral(R"(
            insert into accounts_dep.person (fio, s_staffpos_hl)
            values (:fio, :department))"));
        insert.setParam(QStringLiteral("fio"), name);
        insert.setParam(QStringLiteral("department"), department);
        insert.execute();
        accept();
        return;
    }
    db::Command update(QStringLiteral(R"(
        update accounts_dep.person
        set fio=:fio, s_staffpos_hl=:department
        where accounts_dep.person.id=:id
          and xmin=:row_ver::xid)"));
    update.setParam(QStringLiteral("fio"), name);
    update.setParam(QStringLiteral("department"), department);
    update.setParam(QStringLiteral("id"), personId);
    db::Dataset *workers = dataModule->Workers;
    try {
        updateRowAsRead(update, workers, personId, rowVer);
    } catch (const db::RowChanged &) {
        // The editor stays open with what was typed; a department the user did not choose
        // follows the row as it now is.
        if (!chosen && workers->locate(QStringLiteral("id"), personId))
            showDepartment(workers->asString(QStringLiteral("s_staffpos_hl")).trimmed());
        throw;
    }
    accept();
}
