#pragma once

#include "ui/EditMode.h"
#include "ui/Form.h"

class QLineEdit;
class QPushButton;
class LookupCombo;

// The editor of one worker.
class WorkerEditor : public ui::Form {
    Q_OBJECT
public:
    explicit WorkerEditor(QWidget *parent = nullptr);

    ui::EditMode mode = ui::EditMode::Add; // Change: the worker personId
    int personId = 0;
    QString rowVer; // the version of the worker's row as read
    QLineEdit *nameEdit;
    LookupCombo *departmentBox;
    LookupCombo *positionBox;
    LookupCombo *roleBox;
    QPushButton *saveButton, *cancelButton;
    // The worker's pay statement for a month; shown while a stored worker is changed.
    QPushButton *payStatementButton;
    db::Command cmd_person;

    void FormActivate() override;
    void reopenLookups();
    // Shows the worker's stored department text in the department box when it names a
    // department; the text is kept on saving unless the user chooses another.
    void showDepartment(const QString &stored);
    void saveClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reopenLookups();
    // Shows the worker's stored department text in the department box when it names a
    // department; the text is kept on saving unless the user chooses another.
    void showDepartment(const QString &stored);

    QString storedDepartment_;
    int departmentShown_ = -1; // the box's row as the change began
};

extern WorkerEditor *workerEditor;
