#pragma once

#include "db/Command.h"
#include "shop/EntryContext.h"
#include "ui/Form.h"

#include <QDate>
#include <functional>

class QCheckBox;
class QDateEdit;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QAction;
namespace db {
class Dataset;
}
namespace ui {
class DBGrid;
}

// The shift journal: the entries of one date and shift, and the hub that opens every
// other window.
class ShiftJournalWindow : public ui::Form {
    Q_OBJECT
public:
    explicit ShiftJournalWindow(const QStringList &args, QWidget *parent = nullptr);

    // State read and set by other windows.
    int shift = 1;
    QString accessRole;
    db::Dataset *current = nullptr; // the current journal query
    // The moment this program was built (YYYYMMDD, seconds of the day), set at start-up.
    int buildDate = 0;
    int buildTime = 0;
    bool connected() const { return connected_; }

    QRadioButton *RadioButton1, *RadioButton2, *RadioButton3, *RadioButton4;
    QDateEdit *DateT;
    QCheckBox *CBox1;
    ui::DBGrid *DBGrid2;
    QPushButton *Button1, *Button2, *Button3, *Button8, *Button5, *Button9, *Button4;
    QLabel *LabelClosed;          // the sentence of a closed month beside the date
    QPushButton *whyAmountButton; // "Почему такая сумма?" on the current entry
    QLabel *amountExplanation;    // its answer, under the list
    QMenu *N2, *N11, *N7;
    QAction *N1, *N3, *N4, *N6, *N8, *N9, *N13, *N14, *N15, *N17, *N18, *N19, *N10, *N5;
    QAction *payStatementsAction; // "Расчетные листки сдельщиков"
    QTimer *Timer1;
    db::Command updtOK;

    // What Timer1 runs every 30 seconds: the guard against an older build of the program.
    void setVersionCheck(std::function<void()> check);

    QDate journalDate() const;
    // What the entry editors work in: the journal's date, shift and day-off flag.
    shop::EntryContext entryContext() const;

    void FormActivate() override;
    void DateTChange();
    void CBox1Click();
    void chooseShift(int shift);
    void Button1Click();    // add
    void Button2Click();    // change
    void Button8Click();    // refresh
    void Button3Click();    // delete
    void DBGrid2DblClick(); // accept toggle
    // Explains the current entry's amount in one sentence under the list.
    void explainAmount();
    void openWorkers();
    void openProducts();
    void openKinds();
    // Shows whether the listed date's month is closed; a closed month takes away
    // "Добавить", "Изменить" and "Удалить".
    void showMonthState();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Esc and the window's close button leave the program only when the user says so;
    // "Выход" leaves at once.
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildUi();
    bool leaveAsked();
    void reopenJournals(bool setDate);
    // Runs the date change when the picker shows another date than the journal lists
    // (always: also on the same date).
    void applyShownDate(bool always);
    QDate listedDate_; // the date whose entries the journal lists
    bool calendarChose_ = false;
    bool connected_ = false;
    std::function<void()> versionCheck_;
};

extern ShiftJournalWindow *shiftJournalWindow;
