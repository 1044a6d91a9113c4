#pragma once

#include <QObject>

namespace db {
class Dataset;
}

// The printed timesheet of a month: every timesheet row of the month added up per worker
// name, whatever its shift or kind. Its query serves the export as well.
class TForm15 : public QObject {
    Q_OBJECT
public:
    explicit TForm15(QObject *parent = nullptr);

    db::Dataset *H_Tabel;

    static QString tabelSql();
    // Sets the month and year of H_Tabel and opens it.
    void openMonth(int month, int year);
};

extern TForm15 *Form15;
