#include "OperationKindEditor.h"

#include "ListForm.h"
#include "db/Command.h"
#include "db/Dataset.h"
#include "db/SqlText.h"
#include "shop/DataModule.h"
#include "ui/Messages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

OperationKindEditor *operationKindEditor = nullptr;

OperationKindEditor::OperationKindEditor(QWidget *parent) : ui::Form(parent)
{
    operationKindEditor = this;
    setObjectName(QStringLiteral("operationKindEditor"));
    setHoldsTypedWork(true);

    auto *frame = new QGroupBox(QStringLiteral("Вид операции"), this);
    auto *inner = new QHBoxLayout(frame);
    auto *label = new QLabel(QStringLiteral("Операция"), frame);
    nameEdit = new QLineEdit(frame);
    nameEdit->setObjectName(QStringLiteral("nameEdit"));
    nameEdit->setMaxLength(128);
    nameEdit->setMinimumWidth(280);
    label->setBuddy(nameEdit);
    inner->addWidget(label);
    inner->addWidget(nameEdit);

    const EditorButtons buttons = layOutEditor(frame, false);
    saveButton = buttons.save;
    cancelButton = buttons.cancel;
    connect(saveButton, &QPushButton::clicked, this, &OperationKindEditor::saveClick);
    setTabOrder(nameEdit, saveButton);
    setTabOrder(saveButton, cancelButton);
}

void OperationKindEditor::startAdd()
{
    nameEdit->clear();
    setWindowTitle(QStringLiteral("Заведение нового вида операций"));
    mode = ui::EditMode::Add;
}

void OperationKindEditor::startChange(int id, const QString &version, const QString &name)
{
    setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    mode = ui::EditMode::Change;
    nameEdit->setText(name);
    kindId = id;
    rowVer = version;
}

void OperationKindEditor::FormActivate()
{
    nameEdit->setFocus();
}

void OperationKindEditor::saveClick()
{
    const QString name = nameEdit->text().trimmed();
    if (name.isEmpty()) {
        ui::showError(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return;
    }
    db::Dataset *kinds = dataModule->Vid_oper;
    // Another kind of the same name; on a change, other than the one changed.
    QString check = QStringLiteral(R"(
        select count(*) as cnt
        from accounts_dep.vid_oper
        where upper(vid)=:name)");
    if (mode == ui::EditMode::Change)
        check += QStringLiteral("\n          and id<>:id");
    if (dataModule->CountCheck(
            check, QStringLiteral("Такая операция уже заведена!"),
            {{QStringLiteral("name"), name.toUpper()}, {QStringLiteral("id"), kindId}}) == 1)
        return;
    if (mode == ui::EditMode::Add) {
        kinds->append();
        kinds->setValue(QStringLiteral("vid"), name);
        kinds->post();
    } else {
        db::Command update(QStringLiteral(R"(
            update accounts_dep.vid_oper
            set vid=:vid
            where id=:id
              and xmin=:row_ver::xid)"));
        update.setParam(QStringLiteral("vid"), name);
        update.setParam(QStringLiteral("id"), kindId);
        // Refused: the editor stays open with what was typed.
        updateRowAsRead(update, kinds, kindId, rowVer);
    }
    kinds->reopen();
    accept();
}
