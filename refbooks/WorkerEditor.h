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
    // A worker as the list shows him: what a change starts from.
    struct Worker {
        int id = 0;
        QString rowVer;
        QString name;
        QString department; // the stored text, which need not name a department
    };
    // A new worker: empty name, the lookups read again.
    void startAdd();
    // A change of the worker: his name and department shown, the lookups read again.
    void startChange(const Worker &worker);

    void FormActivate() override;
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
