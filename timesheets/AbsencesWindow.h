#pragma once

#include "ui/Form.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

// "Неявки": the absences of a month (vacations, sick leave, downtime...) under the codes of the
// monthly timesheet. The administrator enters one for several workers at once and removes one;
// the server refuses an absence over another or over a day with hours, naming the day.
class AbsencesWindow : public ui::Form {
    Q_OBJECT
public:
    explicit AbsencesWindow(QWidget *parent = nullptr);

    QComboBox *monthBox;
    QSpinBox *yearBox;
    QTableWidget *absencesTable;
    QLineEdit *searchEdit;
    QListWidget *workersList; // several may be chosen
    QComboBox *codeBox;
    QDateEdit *firstEdit, *lastEdit;
    QLineEdit *noteEdit;
    QLabel *stateLabel;
    QPushButton *addButton, *removeButton, *closeButton;

    void openFrom(ui::Form *from, const QDate &date, bool administrator);
    void readMonth();
    void addAbsence();
    void removeAbsence();
    // Chooses the workers in the list by id (the others are let go).
    void chooseWorkers(const QList<int> &ids);

private:
    void readWorkers();
    bool administrator_ = false;
};

extern AbsencesWindow *absencesWindow;
