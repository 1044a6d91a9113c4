#include "WorkTimeSheetPrint.h"

#include "report/Source.h"
#include "spreadsheet/Excel.h"

#include <QLocale>

using namespace report;
namespace wt = shop::worktime;

namespace worktimesheet {

namespace {

// Millimetres from the left margin; A4 landscape leaves 277 mm between the margins.
constexpr double kNumber = 0, kNumberW = 7;
constexpr double kName = 7, kNameW = 40;
constexpr double kCode = 47, kCodeW = 12;
constexpr double kDays = 59, kDayW = 8.6; // 16 columns: days 1–15 and a crossed one, 16–31
constexpr double kHalf = kDays + 16 * kDayW, kHalfW = 16;
constexpr double kMonth = kHalf + kHalfW, kMonthW = 16;
constexpr double kPay = kMonth + kMonthW, kPayW = 20;
constexpr double kAbsent = kPay + kPayW, kAbsentW = 277 - kAbsent;
constexpr double kLine = 3.6; // one of a worker's four lines

const QString kArial = QStringLiteral("Arial");

// A text of the band in its own box (no lines).
Element text(double left, double width, double top, double height, const QString &t,
             double size = 7, Align align = Align::Center)
{
    Element e = label(left, width, t).sized(size).aligned(align);
    return e.box(top, height);
}
// A named text whose words the program sets before each preparation.
Element slot(const QString &name, double left, double width, double top, double height, double size,
             Align align)
{
    Element e = label(name, left, width, QString()).sized(size).aligned(align);
    return e.box(top, height);
}
// A frame without text.
Element frameBox(double left, double width, double top, double height)
{
    return label(left, width, QString()).box(top, height).framed(AllEdges);
}
Element cell(const QString &fieldName, double left, double width, double top, double height)
{
    Element e = field(left, width, fieldName).aligned(Align::Center).framed(AllEdges);
    return e.box(top, height);
}

QString dayField(char line, int column)
{
    return QStringLiteral("%1%2").arg(QLatin1Char(line)).arg(column);
}

Band titleBand()
{
    Band b = band(BandKind::Title, QStringLiteral("title"), 36);
    b.elements << text(200, 77, 0, 4, QStringLiteral("Унифицированная форма № Т-13"), 7,
                       Align::Right)
               << text(200, 43, 4.5, 4.5, QStringLiteral("Код по ОКПО"), 8, Align::Right)
               << slot(QStringLiteral("okpo"), 245, 32, 4.5, 4.5, 8, Align::Center)
               << frameBox(245, 32, 4.5, 4.5)
               << slot(QStringLiteral("organisation"), 0, 145, 8, 5, 10, Align::Left).bold()
               << label(0, 145, QString()).box(8, 5).framed(BottomEdge)
               << text(0, 145, 13, 3.2, QStringLiteral("(наименование организации)"))
               << slot(QStringLiteral("department"), 0, 145, 16.5, 5, 10, Align::Left)
               << label(0, 145, QString()).box(16.5, 5).framed(BottomEdge)
               << text(0, 145, 21.5, 3.2, QStringLiteral("(структурное подразделение)"));
    const double lefts[] = {150, 180, 210, 243.5};
    const double widths[] = {30, 30, 33.5, 33.5};
    const QString captions[] = {QStringLiteral("Номер документа"),
                                QStringLiteral("Дата составления"),
                                QStringLiteral("Отчетный период: с"), QStringLiteral("по")};
    const QString names[] = {QStringLiteral("number"), QStringLiteral("drawnUp"),
                             QStringLiteral("periodFrom"), QStringLiteral("periodTo")};
    for (int i = 0; i < 4; ++i)
        b.elements << text(lefts[i], widths[i], 12, 4, captions[i]).framed(AllEdges)
                   << slot(names[i], lefts[i], widths[i], 16, 5, 9, Align::Center).framed(AllEdges);
    b.elements << text(0, 277, 25, 5.5, QStringLiteral("ТАБЕЛЬ учета рабочего времени"), 12).bold()
               << slot(QStringLiteral("payKind"), 0, 277, 31, 4, 8, Align::Left);
    return b;
}

Band captionBand()
{
    Band b = groupHeader(QStringLiteral("head"), 15, QString(), QStringLiteral("foot"));
    b.reprintOnNewPage = true;
    b.elements << frameBox(kNumber, kNumberW, 0, 15) << text(kNumber, kNumberW, 3, 4, "№")
               << text(kNumber, kNumberW, 7.5, 4, QStringLiteral("п/п"))
               << frameBox(kName, kNameW, 0, 15)
               << text(kName, kNameW, 3, 4, QStringLiteral("Фамилия, инициалы,"))
               << text(kName, kNameW, 7.5, 4, QStringLiteral("должность"))
               << frameBox(kCode, kCodeW, 0, 15)
               << text(kCode, kCodeW, 3, 4, QStringLiteral("Таб."))
               << text(kCode, kCodeW, 7.5, 4, QStringLiteral("номер"))
               << text(kDays, 16 * kDayW, 0, 5,
                       QStringLiteral("Отметки о явках и неявках на работу по числам месяца"))
                      .framed(AllEdges);
    for (int c = 0; c < 16; ++c) {
        const double left = kDays + c * kDayW;
        b.elements << text(left, kDayW, 5, 5, c < 15 ? QString::number(c + 1) : QStringLiteral("Х"))
                          .framed(AllEdges)
                   << text(left, kDayW, 10, 5, QString::number(c + 16)).framed(AllEdges);
    }
    b.elements
        << text(kHalf, kHalfW + kMonthW, 0, 5, QStringLiteral("Отработано за")).framed(AllEdges)
        << frameBox(kHalf, kHalfW, 5, 10) << text(kHalf, kHalfW, 5.5, 4, QStringLiteral("половину"))
        << text(kHalf, kHalfW, 10, 4, QStringLiteral("месяца")) << frameBox(kMonth, kMonthW, 5, 10)
        << text(kMonth, kMonthW, 5.5, 4, QStringLiteral("месяц:"))
        << text(kMonth, kMonthW, 10, 4, QStringLiteral("дни, часы")) << frameBox(kPay, kPayW, 0, 15)
        << text(kPay, kPayW, 1, 4, QStringLiteral("Оплата:"))
        << slot(QStringLiteral("payColumn"), kPay, kPayW, 5.5, 4, 7, Align::Center)
        << text(kPay, kPayW, 10, 4, QStringLiteral("дни, часы"))
        << frameBox(kAbsent, kAbsentW, 0, 15)
        << text(kAbsent, kAbsentW, 3, 4, QStringLiteral("Неявки по причинам:"))
        << text(kAbsent, kAbsentW, 7.5, 4, QStringLiteral("код, дни"));
    return b;
}

Band workerBand()
{
    Band b = band(BandKind::Detail, QStringLiteral("worker"), 4 * kLine);
    b.font = Font{kArial, 7, false};
    b.elements << cell(QStringLiteral("n"), kNumber, kNumberW, 0, 4 * kLine)
               << field(kName, kNameW, QStringLiteral("fio")).box(0.4, 2 * kLine - 0.4)
               << field(kName, kNameW, QStringLiteral("pos")).box(2 * kLine, 2 * kLine - 0.4)
               << frameBox(kName, kNameW, 0, 4 * kLine)
               << cell(QStringLiteral("code"), kCode, kCodeW, 0, 4 * kLine);
    const char lines[] = {'a', 'b', 'c', 'd'};
    for (int c = 1; c <= 16; ++c) {
        const double left = kDays + (c - 1) * kDayW;
        for (int l = 0; l < 4; ++l)
            b.elements << cell(dayField(lines[l], c), left, kDayW, l * kLine, kLine);
    }
    b.elements << cell(QStringLiteral("h1d"), kHalf, kHalfW, 0, kLine)
               << cell(QStringLiteral("h1h"), kHalf, kHalfW, kLine, kLine)
               << cell(QStringLiteral("h2d"), kHalf, kHalfW, 2 * kLine, kLine)
               << cell(QStringLiteral("h2h"), kHalf, kHalfW, 3 * kLine, kLine)
               << cell(QStringLiteral("md"), kMonth, kMonthW, 0, 2 * kLine)
               << cell(QStringLiteral("mh"), kMonth, kMonthW, 2 * kLine, 2 * kLine)
               << cell(QStringLiteral("pd"), kPay, kPayW, 0, 2 * kLine)
               << cell(QStringLiteral("ph"), kPay, kPayW, 2 * kLine, 2 * kLine)
               << cell(QStringLiteral("abs"), kAbsent, kAbsentW, 0, 4 * kLine);
    return b;
}

Band signatureBand()
{
    Band b = band(BandKind::GroupFooter, QStringLiteral("foot"), 31);
    const QString who[] = {QStringLiteral("Ответственное лицо"),
                           QStringLiteral("Руководитель структурного подразделения"),
                           QStringLiteral("Работник кадровой службы")};
    const QString names[] = {QStringLiteral("responsible"), QStringLiteral("head"),
                             QStringLiteral("hr")};
    for (int i = 0; i < 3; ++i) {
        const double top = 4 + i * 9;
        b.elements << text(0, 58, top, 4.5, who[i], 8, Align::Left)
                   << slot(names[i] + QStringLiteral("Position"), 60, 55, top, 4.5, 8,
                           Align::Center)
                          .framed(BottomEdge)
                   << text(60, 55, top + 4.5, 3.2, QStringLiteral("(должность)"))
                   << label(119, 30, QString()).box(top, 4.5).framed(BottomEdge)
                   << text(119, 30, top + 4.5, 3.2, QStringLiteral("(личная подпись)"))
                   << slot(names[i] + QStringLiteral("Name"), 153, 55, top, 4.5, 8, Align::Center)
                          .framed(BottomEdge)
                   << text(153, 55, top + 4.5, 3.2, QStringLiteral("(расшифровка подписи)"))
                   << text(212, 50, top, 4.5, QStringLiteral("«____» ____________ 20___ г."), 8);
    }
    return b;
}

QStringList fieldNames()
{
    QStringList f = {QStringLiteral("n"),    QStringLiteral("fio"), QStringLiteral("pos"),
                     QStringLiteral("code"), QStringLiteral("h1d"), QStringLiteral("h1h"),
                     QStringLiteral("h2d"),  QStringLiteral("h2h"), QStringLiteral("md"),
                     QStringLiteral("mh"),   QStringLiteral("pd"),  QStringLiteral("ph"),
                     QStringLiteral("abs")};
    for (char line : {'a', 'b', 'c', 'd'})
        for (int c = 1; c <= 16; ++c)
            f << dayField(line, c);
    return f;
}

// A worker's day cells as the form lays them: the codes and hours of days 1–15 and a crossed
// sixteenth column, then of days 16–31 with the days the month lacks crossed.
struct Lines {
    QStringList codes[2], hours[2];
};
Lines lines(const wt::Worker &w, int days)
{
    Lines l;
    for (int half = 0; half < 2; ++half)
        for (int c = 0; c < 16; ++c) {
            const int d = half == 0 ? c + 1 : c + 16;
            if ((half == 0 && c == 15) || d > days) {
                l.codes[half] << QStringLiteral("Х");
                l.hours[half] << QStringLiteral("Х");
                continue;
            }
            const wt::Day &x = w.days[d - 1];
            l.codes[half] << x.codeText();
            l.hours[half] << x.hoursText();
        }
    return l;
}

QString num(int n)
{
    return n ? QString::number(n) : QString();
}

} // namespace

QString periodText(int month, int year)
{
    const QLocale ru(QLocale::Russian);
    return QStringLiteral("%1 %2 г.").arg(ru.standaloneMonthName(month).toLower()).arg(year);
}

ReportDef definition()
{
    ReportDef def;
    def.page.landscape = true;
    def.font = Font{kArial, 8, false};
    Band pageFoot = band(BandKind::PageFooter, QStringLiteral("pageFoot"), 5);
    pageFoot.elements << slot(QStringLiteral("footTitle"), 0, 200, 1, 4, 7, Align::Left)
                      << pageNumber(237, 40).sized(7).aligned(Align::Right).box(1, 4);
    def.bands << titleBand() << captionBand() << workerBand() << signatureBand() << pageFoot;
    return def;
}

void prepare(Report &report, const wt::Month &month, const Heading &heading)
{
    report.def() = definition();
    const shop::Organisation &o = heading.organisation;
    const QDate first(month.year, month.month, 1);
    const QString format = QStringLiteral("dd.MM.yyyy");
    const std::pair<const char *, QString> texts[] = {
        {"okpo", o.okpo},
        {"organisation", o.name},
        {"department", o.department},
        {"number", heading.number},
        {"drawnUp", heading.drawnUp.toString(format)},
        {"periodFrom", first.toString(format)},
        {"periodTo", first.addMonths(1).addDays(-1).toString(format)},
        {"payKind", QStringLiteral("Графа «Оплата»: %1").arg(heading.payKind)},
        {"payColumn", heading.payKind},
        {"responsiblePosition", o.responsiblePosition},
        {"responsibleName", o.responsibleName},
        {"headPosition", o.headPosition},
        {"headName", o.headName},
        {"hrPosition", o.hrPosition},
        {"hrName", o.hrName},
        {"footTitle", QStringLiteral("Табель учета рабочего времени за %1")
                          .arg(periodText(month.month, month.year))},
    };
    for (const auto &[name, value] : texts)
        report.setLabel(QLatin1String(name), value);

    const QStringList fields = fieldNames();
    auto source = std::make_shared<TableSource>(QStringLiteral("t13"), fields);
    int n = 0;
    for (const wt::Worker &w : month.workers) {
        QVector<QVariant> row;
        row.reserve(fields.size());
        row << ++n << w.name << w.position << w.id << num(w.halfDays[0]) << num(w.halfHours[0])
            << num(w.halfDays[1]) << num(w.halfHours[1]) << num(w.monthDays())
            << num(w.monthHours()) << num(w.monthDays()) << num(w.monthHours()) << w.absencesText();
        const Lines l = lines(w, month.days);
        for (int c = 0; c < 16; ++c)
            row << l.codes[0][c];
        for (int c = 0; c < 16; ++c)
            row << l.hours[0][c];
        for (int c = 0; c < 16; ++c)
            row << l.codes[1][c];
        for (int c = 0; c < 16; ++c)
            row << l.hours[1][c];
        source->addRow(row);
    }
    report.setSource(source);
    report.setDocumentName(
        QStringLiteral("Табель Т-13 %1").arg(first.toString(QStringLiteral("MM.yyyy"))));
    report.prepare();
}

bool exportSheet(const wt::Month &month, const Heading &heading)
{
    excel::Export book;
    const QDate first(month.year, month.month, 1);
    if (!book.open(QStringLiteral("Табель Т-13 %1").arg(first.toString(QStringLiteral("MM.yyyy")))))
        return false;
    const shop::Organisation &o = heading.organisation;
    const excel::Cell bold{excel::Kind::Value, excel::Font::Bold};
    const excel::Cell text = excel::kText;
    int r = 1;
    book.write(1, r++, o.name, {excel::Kind::Text, excel::Font::Bold});
    book.write(1, r++, o.department, text);
    book.write(1, r, QStringLiteral("Код по ОКПО"), text);
    book.write(4, r++, o.okpo, text);
    book.write(1, r++,
               QStringLiteral("ТАБЕЛЬ учета рабочего времени № %1 от %2 за период с %3 по %4")
                   .arg(heading.number, heading.drawnUp.toString(QStringLiteral("dd.MM.yyyy")),
                        first.toString(QStringLiteral("dd.MM.yyyy")),
                        first.addMonths(1).addDays(-1).toString(QStringLiteral("dd.MM.yyyy"))),
               bold);
    ++r;
    // Columns: 1 number in order, 2 name and position, 3 personnel number, 4..19 the days,
    // 20 the half, 21 the month, 22 the pay, 23 the absences.
    const QStringList head = {QStringLiteral("№ п/п"),
                              QStringLiteral("Фамилия, инициалы, должность"),
                              QStringLiteral("Таб. номер")};
    for (int c = 0; c < head.size(); ++c)
        book.write(c + 1, r, head[c], {excel::Kind::Text, excel::Font::Bold});
    for (int c = 0; c < 16; ++c) {
        book.write(4 + c, r, c < 15 ? QString::number(c + 1) : QStringLiteral("Х"), bold);
        book.write(4 + c, r + 1, QString::number(c + 16), bold);
    }
    book.write(20, r, QStringLiteral("За половину месяца"), {excel::Kind::Text, excel::Font::Bold});
    book.write(21, r, QStringLiteral("За месяц: дни, часы"),
               {excel::Kind::Text, excel::Font::Bold});
    book.write(22, r, QStringLiteral("Оплата (%1): дни, часы").arg(heading.payKind),
               {excel::Kind::Text, excel::Font::Bold});
    book.write(23, r, QStringLiteral("Неявки: код, дни"), {excel::Kind::Text, excel::Font::Bold});
    r += 2;
    int n = 0;
    for (const wt::Worker &w : month.workers) {
        const Lines l = lines(w, month.days);
        book.write(1, r, QString::number(++n));
        book.write(2, r, w.name, text);
        book.write(2, r + 1, w.position, text);
        book.write(3, r, QString::number(w.id), text);
        for (int half = 0; half < 2; ++half)
            for (int c = 0; c < 16; ++c) {
                book.write(4 + c, r + 2 * half, l.codes[half][c], text);
                book.write(4 + c, r + 2 * half + 1, l.hours[half][c], text);
            }
        book.write(20, r, num(w.halfDays[0]));
        book.write(20, r + 1, num(w.halfHours[0]));
        book.write(20, r + 2, num(w.halfDays[1]));
        book.write(20, r + 3, num(w.halfHours[1]));
        book.write(21, r, num(w.monthDays()));
        book.write(21, r + 2, num(w.monthHours()));
        book.write(22, r, num(w.monthDays()));
        book.write(22, r + 2, num(w.monthHours()));
        book.write(23, r, w.absencesText(), text);
        r += 4;
    }
    ++r;
    const std::pair<QString, QString> signs[] = {
        {QStringLiteral("Ответственное лицо"),
         o.responsiblePosition + QStringLiteral(" ") + o.responsibleName},
        {QStringLiteral("Руководитель структурного подразделения"),
         o.headPosition + QStringLiteral(" ") + o.headName},
        {QStringLiteral("Работник кадровой службы"),
         o.hrPosition + QStringLiteral(" ") + o.hrName}};
    for (const auto &[who, name] : signs) {
        book.write(2, r, who, text);
        book.write(4, r++, name.trimmed(), text);
    }
    book.show();
    return true;
}

} // namespace worktimesheet
