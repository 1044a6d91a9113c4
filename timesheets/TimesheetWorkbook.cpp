#include "TimesheetWorkbook.h"

#include "db/Dataset.h"
#include "spreadsheet/Excel.h"

namespace timesheet {

bool writeWorkbook(db::Dataset &rows, const QString &title, const QString &month, bool night,
                   bool average, const std::function<void(int written, int all)> &progress)
{
    excel::Export book;
    if (!book.open(title + QLatin1Char(' ') + month))
        return false;
    const int all = rows.recordCount();
    progress(0, all);
    rows.first();

    using excel::Font;
    using excel::Kind;
    const auto header = [&book](int column, const QString &text, Kind kind) {
        book.write(column, 2, text, {kind, Font::Bold, excel::Width::Fit});
    };
    book.write(1, 1, month, {Kind::Text, Font::Bold, excel::Width::Fit});
    header(1, QStringLiteral("Фамилия И.О."), Kind::Text);
    for (int d = 1; d <= 31; ++d)
        header(d + 2, QString::number(d), Kind::Value);
    header(34, QStringLiteral("Итого (ч.)"), Kind::Text);
    header(35, QStringLiteral("Итого (р.)"), Kind::Text);
    if (average)
        header(36, QStringLiteral("Час (р.)"), Kind::Text);

    int row = 3;
    int written = 0;
    while (!rows.eof() && !rows.isEmpty()) {
        const auto cell = [&](int column, const QString &field, Kind kind) {
            book.write(column, row, rows.asString(field), {kind, Font::Regular, excel::Width::Fit});
        };
        cell(1, QStringLiteral("fio"), Kind::Text);
        if (night)
            cell(2, QStringLiteral("s_night"), Kind::Text);
        for (int d = 1; d <= 31; ++d)
            cell(d + 2, QStringLiteral("d") + QString::number(d), Kind::Value);
        cell(34, QStringLiteral("i_time"), Kind::Value);
        cell(35, QStringLiteral("f_price"), Kind::Money);
        if (average)
            cell(36, QStringLiteral("average_price"), Kind::Money);
        rows.next();
        ++row;
        ++written;
        progress(written, all);
    }
    book.show();
    return true;
}

} // namespace timesheet
