#pragma once

#include "ui/Form.h"

class QLabel;
class QPushButton;
namespace db {
class Dataset;
}
namespace ui {
class DBGrid;
}

// "Закрытие периода": the months that have timesheets, whether each is closed, who closed
// it and when, and who opened it again last. An administrator closes a month and opens
// it again after a question; every other role sees the list only.
class MonthClosingWindow : public ui::Form {
    Q_OBJECT
public:
    explicit MonthClosingWindow(QWidget *parent = nullptr);

    db::Dataset *Months;
    ui::DBGrid *monthsGrid;
    QLabel *stateLabel; // the state of the chosen month, in words
    QPushButton *closeMonthButton, *openMonthButton, *exitButton;

    // Opens the window from another one; only an administrator may change the list.
    void openFrom(ui::Form *from, bool administrator);
    void FormActivate() override;
    void closeMonthClick(); // close the month
    void openMonthClick();  // open it again

private:
    void reread(int year, int month);
    void showState();
    bool administrator_ = false;
};

extern MonthClosingWindow *monthClosingWindow;
