#pragma once

#include "ui/Form.h"

class QLineEdit;
class QPushButton;
class QTimer;
namespace db {
class Dataset;
}

// The login window: the program's main window. Takes the access code, applies its role
// and shows the journal; guards the database against older builds of the program.
class LoginWindow : public ui::Form {
    Q_OBJECT
public:
    explicit LoginWindow(QWidget *parent = nullptr);

    QLineEdit *codeEdit;
    QPushButton *enterButton;
    QPushButton *cancelButton;
    QTimer *endTimer;
    db::Dataset *ver; // accounts_dep.ver, first row

    void FormActivate() override;
    void enterClick();
    // Compares this build with the database's version record (see accounts_dep.ver).
    void CheckVersion();

private:
    void enterJournal();
    void checkVersionRecord();
    // A newer build has written the version record: this copy ends, but never over an open
    // editor's typed work unless the user says so.
    void endForNewerVersion();
    bool endingForNewerVersion_ = false;
};

extern LoginWindow *loginWindow;
