#include "ReportForm.h"

#include "db/Dataset.h"
#include "report/Preview.h"
#include "report/Printout.h"

using namespace report;

ReportForm::ReportForm(const char *name, QObject *parent) : QObject(parent), printout(new Report())
{
    setObjectName(QLatin1String(name));
}

ReportForm::~ReportForm()
{
    delete printout;
}

db::Dataset *ReportForm::newDataset(const char *name, const QString &sql)
{
    auto *ds = new db::Dataset(QLatin1String(name), this);
    ds->setSql(sql);
    return ds;
}

void ReportForm::setTitle(const QString &text)
{
    printout->setLabel(QStringLiteral("QRLabel1"), text);
}

void ReportForm::setOrganisation(const shop::Organisation &o)
{
    printout->setLabel(kOrganisationLabel, o.name);
    printout->setLabel(kDepartmentLabel, o.department);
    printout->setLabel(QStringLiteral("preparedBy"), o.responsibleName);
    printout->setLabel(QStringLiteral("head"), o.headName);
}

QString ReportForm::title() const
{
    return printout->labelText(QStringLiteral("QRLabel1"));
}

void ReportForm::prepare()
{
    printout->setSource(std::make_shared<DatasetSource>(dataset()));
    printout->prepare();
}

void ReportForm::preview(QWidget *parent)
{
    printout->preview(parent);
    printout->clear();
}

namespace frame {

const QColor kGroup(0xE0, 0xE0, 0xE0);
namespace {
const QColor kHeader(0xF4, 0xF4, 0xF4);
const QColor kFooter(0xDC, 0xDC, 0xDC);
const QColor kTotal(0xEF, 0xEF, 0xEF);
} // namespace

ReportDef page()
{
    ReportDef def; // A4 portrait, 10 mm margins, Arial 10 pt
    def.bands << headingBand(def, {}, false) << signatures();
    return def;
}

Band signatures(const ReportDef &def, const QString &preparedBy)
{
    Band b = signatureBand(
        def, {{preparedBy, QString()}, {QStringLiteral("Начальник цеха"), QString()}});
    // The names are set with the organisation's details.
    int line = 0;
    for (Element &e : b.elements)
        if (e.kind == ElementKind::Label && e.left > 100)
            e.name = line++ == 0 ? QStringLiteral("preparedBy") : QStringLiteral("head");
    return b;
}

QVector<Band> reportHeader(double height, const Font &titleFont, double titleWidth,
                           const QVector<Element> &captions)
{
    Band head =
        report::groupHeader(QStringLiteral("head"), height, QString(), QStringLiteral("foot"));
    head.background = kHeader;
    head.reprintOnNewPage = true; // the column captions on every page
    head.child = QStringLiteral("spacer");
    // The captions say what each figure is: a page must read without the first one.
    Element title = label(QStringLiteral("QRLabel1"), 0, titleWidth, QString());
    title.font = titleFont;
    head.elements << title;
    // Column captions sit under the title so that a long period never runs into them.
    if (!captions.isEmpty())
        head.elements.last().box(0, height / 2);
    for (Element c : captions)
        head.elements << c.box(height / 2, height / 2);
    return {head, band(BandKind::Child, QStringLiteral("spacer"), 0.5)};
}

Element caption(double left, double width, const QString &text, double size)
{
    return label(left, width, text).bold().sized(size);
}

Band groupHeader(const QString &name, double height, const QString &field, const QColor &background)
{
    Band b = report::groupHeader(name, height, field, name + QStringLiteral("Foot"));
    b.linkedBand = b.footer;
    b.background = background;
    b.reprintOnNewPage = true;
    b.elements << report::field(0, 190, field).bold().sized(10).continued();
    return b;
}

Band groupFooter(const QString &name, double height)
{
    Band b = band(BandKind::GroupFooter, name + QStringLiteral("Foot"), height);
    b.font = Font{QStringLiteral("Arial"), 9, true};
    return b;
}

Band reportFooter(double height, const QString &note)
{
    Band b = band(BandKind::GroupFooter, QStringLiteral("foot"), height);
    b.child = note.isEmpty() ? kSignatures : note;
    b.background = kFooter;
    b.edges = AllEdges;
    b.font = Font{QStringLiteral("Arial"), 11, true};
    return b;
}

Element total(double left, double width, const QString &expression, const QString &mask,
              bool resetting, Align align)
{
    Element e = expr(left, width, expression).masked(mask).aligned(align).filled(kTotal);
    e.resetAfterPrint = resetting;
    return e;
}

Band pageFooter()
{
    return pageFooterBand(ReportDef());
}

} // namespace frame
