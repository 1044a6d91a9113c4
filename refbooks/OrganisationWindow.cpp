#include "OrganisationWindow.h"

#include "ui/Application.h"
#include "ui/Messages.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

OrganisationWindow *organisationWindow = nullptr;

OrganisationWindow::OrganisationWindow(QWidget *parent) : ui::Form(parent)
{
    organisationWindow = this;
    setObjectName(QStringLiteral("organisationWindow"));
    setWindowTitle(QStringLiteral("Реквизиты организации"));

    auto edit = [this](const char *name, int length) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(length);
        e->setMinimumWidth(380);
        return e;
    };
    nameEdit = edit("nameEdit", 254);
    departmentEdit = edit("departmentEdit", 254);
    okpoEdit = edit("okpoEdit", 14);
    responsiblePositionEdit = edit("responsiblePositionEdit", 254);
    responsibleNameEdit = edit("responsibleNameEdit", 254);
    headPositionEdit = edit("headPositionEdit", 254);
    headNameEdit = edit("headNameEdit", 254);
    hrPositionEdit = edit("hrPositionEdit", 254);
    hrNameEdit = edit("hrNameEdit", 254);

    auto *frame = new QWidget(this);
    auto *column = new QVBoxLayout(frame);
    column->setContentsMargins(0, 0, 0, 0);
    auto *firm = new QGroupBox(QStringLiteral("Организация"), frame);
    auto *firmForm = new QFormLayout(firm);
    firmForm->addRow(QStringLiteral("&Наименование"), nameEdit);
    firmForm->addRow(QStringLiteral("&Структурное подразделение"), departmentEdit);
    firmForm->addRow(QStringLiteral("Код по &ОКПО"), okpoEdit);
    column->addWidget(firm);
    auto *signs = new QGroupBox(QStringLiteral("Подписи в табеле"), frame);
    auto *signForm = new QFormLayout(signs);
    signForm->addRow(QStringLiteral("Ответственное лицо: должность"), responsiblePositionEdit);
    signForm->addRow(QStringLiteral("Ответственное лицо: ФИО"), responsibleNameEdit);
    signForm->addRow(QStringLiteral("Руководитель подразделения: должность"), headPositionEdit);
    signForm->addRow(QStringLiteral("Руководитель подразделения: ФИО"), headNameEdit);
    signForm->addRow(QStringLiteral("Работник кадровой службы: должность"), hrPositionEdit);
    signForm->addRow(QStringLiteral("Работник кадровой службы: ФИО"), hrNameEdit);
    column->addWidget(signs);
    stateLabel = new QLabel(frame);
    stateLabel->setObjectName(QStringLiteral("stateLabel"));
    stateLabel->setWordWrap(true);
    column->addWidget(stateLabel);

    const EditorButtons buttons = layOutEditor(frame, true);
    saveButton = buttons.save;
    cancelButton = buttons.cancel;
    saveButton->setObjectName(QStringLiteral("saveButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(saveButton, &QPushButton::clicked, this, [this] { ui::guarded([this] { save(); }); });
}

void OrganisationWindow::openFrom(ui::Form *from, bool administrator)
{
    administrator_ = administrator;
    if (!ui::guarded([this] { showDetails(shop::organisation()); }))
        return;
    for (QLineEdit *e : findChildren<QLineEdit *>())
        e->setReadOnly(!administrator);
    saveButton->setEnabled(administrator);
    stateLabel->setText(administrator ? QString()
                                      : QStringLiteral("Реквизиты изменяет администратор."));
    from->showChild(this);
}

void OrganisationWindow::FormActivate()
{
    nameEdit->setFocus();
}

void OrganisationWindow::showDetails(const shop::Organisation &o)
{
    nameEdit->setText(o.name);
    departmentEdit->setText(o.department);
    okpoEdit->setText(o.okpo);
    responsiblePositionEdit->setText(o.responsiblePosition);
    responsibleNameEdit->setText(o.responsibleName);
    headPositionEdit->setText(o.headPosition);
    headNameEdit->setText(o.headName);
    hrPositionEdit->setText(o.hrPosition);
    hrNameEdit->setText(o.hrName);
}

shop::Organisation OrganisationWindow::typed() const
{
    shop::Organisation o;
    o.name = nameEdit->text();
    o.department = departmentEdit->text();
    o.okpo = okpoEdit->text();
    o.responsiblePosition = responsiblePositionEdit->text();
    o.responsibleName = responsibleNameEdit->text();
    o.headPosition = headPositionEdit->text();
    o.headName = headNameEdit->text();
    o.hrPosition = hrPositionEdit->text();
    o.hrName = hrNameEdit->text();
    return o;
}

void OrganisationWindow::save()
{
    if (!administrator_)
        return;
    const shop::Organisation o = typed();
    const QString problem = shop::okpoProblem(o.okpo);
    if (!problem.isEmpty()) {
        ui::showError(problem);
        okpoEdit->setFocus();
        return;
    }
    shop::saveOrganisation(o);
    accept();
}
