#include "Report.h"

#include "Expression.h"

#include <QHash>
#include <algorithm>
#include <stdexcept>

namespace report {

Element &Element::bold(bool on)
{
    boldness = on;
    return *this;
}

Element &Element::sized(double points)
{
    pointSize = points;
    return *this;
}

Font Element::effectiveFont(const Font &inherited) const
{
    Font f = font.value_or(inherited);
    if (boldness)
        f.bold = *boldness;
    if (pointSize)
        f.size = *pointSize;
    return f;
}

Band band(BandKind kind, const QString &name, double height)
{
    Band b;
    b.kind = kind;
    b.name = name;
    b.height = height;
    return b;
}

Band groupHeader(const QString &name, double height, const QString &expression,
                 const QString &footer)
{
    Band b = band(BandKind::GroupHeader, name, height);
    b.expression = expression;
    b.footer = footer;
    return b;
}

namespace {
Element element(ElementKind kind, double left, double width, const QString &text)
{
    Element e;
    e.kind = kind;
    e.left = left;
    e.width = width;
    e.text = text;
    return e;
}
} // namespace

Element label(const QString &name, double left, double width, const QString &text)
{
    Element e = element(ElementKind::Label, left, width, text);
    e.name = name;
    return e;
}
Element label(double left, double width, const QString &text)
{
    return element(ElementKind::Label, left, width, text);
}
Element field(double left, double width, const QString &fieldName)
{
    return element(ElementKind::Field, left, width, fieldName);
}
Element expr(double left, double width, const QString &expression)
{
    return element(ElementKind::Expression, left, width, expression);
}
Element pageNumber(double left, double width)
{
    return element(ElementKind::PageNumber, left, width, QString());
}
Element pageOfPages(double left, double width)
{
    return element(ElementKind::PageOfPages, left, width, QString());
}
Element printDate(double left, double width)
{
    return element(ElementKind::PrintDate, left, width, QString());
}

QStringList Page::texts() const
{
    QVector<const Primitive *> t;
    for (const Primitive &p : items)
        if (p.kind == Primitive::Text)
            t << &p;
    std::stable_sort(t.begin(), t.end(), [](const Primitive *a, const Primitive *b) {
        if (a->rect.top() != b->rect.top())
            return a->rect.top() < b->rect.top();
        return a->rect.left() < b->rect.left();
    });
    QStringList out;
    for (const Primitive *p : t)
        out << p->text;
    return out;
}

const Primitive *Page::find(const QString &text) const
{
    for (const Primitive &p : items)
        if (p.kind == Primitive::Text && p.text == text)
            return &p;
    return nullptr;
}

namespace {

constexpr double kEps = 1e-6;

struct CompiledElement {
    const Element *element;
    Font font;
    std::shared_ptr<Expression> expression; // fields and expressions
    QVector<SumNode *> sums;
};

struct CompiledBand {
    const Band *band;
    QVector<CompiledElement> elements;
    std::shared_ptr<Expression> group; // group headers with an expression
    int child = -1, linked = -1, footer = -1;
};

} // namespace

// One walk of the records into pages. Laid out at once, every page gets its primitives during
// the walk; laid out on demand, the walk only notes where each band stands on which page, and
// page() draws a page from those notes when it is asked for.
class Layout {
public:
    Layout(const ReportDef &def, std::shared_ptr<Source> source, const QDate &printed,
           bool onDemand)
        : def_(def), source_(std::move(source)), src_(*source_), printed_(printed)
    {
        compile();
        // Sums add up record by record as the walk goes: a report with sums is laid out at once.
        onDemand_ = onDemand && sums_.isEmpty();
    }

    bool onDemand() const { return onDemand_; }
    int pageCount() const { return int(onDemand_ ? placed_.size() : pages_.size()); }
    QVector<Page> takePages() { return std::move(pages_); }

    // A page laid out on demand, drawn from where its bands were placed.
    Page page(int index)
    {
        Page p;
        p.number = index + 1;
        const QString count = QString::number(countOf(index));
        for (const Placement &at : placed_.at(index))
            draw(bands_[at.band], at.row, at.y, p.number, at.continuing, p.items, &count);
        return p;
    }

    void run()
    {
        startPage(-1);
        const int n = src_.rowCount();
        if (title_ >= 0)
            printBand(title_, n > 0 ? 0 : -1);
        QVector<QVariant> keys(headers_.size()), previous(headers_.size());
        for (int row = 0; row < n; ++row) {
            const EvalContext ctx{&src_, row, page_};
            for (int i = 0; i < headers_.size(); ++i) {
                const auto &g = bands_[headers_[i]].group;
                keys[i] = g ? g->eval(ctx) : QVariant();
            }
            if (row == 0) {
                openGroups(0, row, false);
            } else {
                int changed = -1;
                for (int i = 0; i < headers_.size() && changed < 0; ++i)
                    if (bands_[headers_[i]].group && !sameKey(keys[i], previous[i]))
                        changed = i;
                if (changed >= 0) {
                    closeGroups(changed, row - 1);
                    openGroups(changed, row, false);
                }
            }
            for (SumNode *s : sums_)
                s->feed(ctx);
            if (detail_ >= 0)
                printBand(detail_, row);
            previous.swap(keys);
        }
        if (n == 0)
            openGroups(0, -1, true); // report header and footer of an empty report
        closeGroups(0, n - 1);
        printPageFooter(n - 1);
        // The count of pages is known only now.
        for (const PageCount &at : pageCounts_) {
            Primitive &p = pages_[at.page].items[at.item];
            const FittedText fitted =
                fitText(p.text.arg(countOf(at.page)), at.font, p.rect.width(), p.rect.height());
            p.text = fitted.text;
            p.font = fitted.font;
        }
    }

private:
    // Group values compare as values: numbers by amount (2 and 2.0 are one group, two
    // amounts that print alike are not), dates as dates, texts without the blanks a
    // fixed-width column pads them with.
    static bool sameKey(const QVariant &a, const QVariant &b)
    {
        if (a.isNull() || b.isNull())
            return a.isNull() == b.isNull();
        if (isNumeric(a) && isNumeric(b))
            return a.toDouble() == b.toDouble();
        if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString) {
            return trimmedRight(a.toString()) == trimmedRight(b.toString());
        }
        return a == b;
    }

    static QString trimmedRight(QString s)
    {
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s;
    }

    int indexOf(const QString &name) const
    {
        if (name.isEmpty())
            return -1;
        for (int i = 0; i < bands_.size(); ++i)
            if (bands_[i].band->name == name)
                return i;
        throw std::runtime_error(
            QStringLiteral("Полоса отчета \"%1\" не найдена").arg(name).toStdString());
    }

    void compile()
    {
        for (const Band &b : def_.bands) {
            CompiledBand cb;
            cb.band = &b;
            for (const Element &e : b.elements) {
                CompiledElement ce{&e, e.effectiveFont(b.font.value_or(def_.font)), nullptr, {}};
                if (e.kind == ElementKind::Field || e.kind == ElementKind::Expression) {
                    ce.expression = Expression::parse(e.text, src_);
                    ce.expression->collectSums(ce.sums);
                    sums_ << ce.sums;
                }
                cb.elements << ce;
            }
            if (b.kind == BandKind::GroupHeader && !b.expression.trimmed().isEmpty())
                cb.group = Expression::parse(b.expression, src_);
            bands_ << cb;
        }
        for (int i = 0; i < bands_.size(); ++i) {
            CompiledBand &cb = bands_[i];
            cb.child = indexOf(cb.band->child);
            cb.linked = indexOf(cb.band->linkedBand);
            cb.footer = indexOf(cb.band->footer);
            switch (cb.band->kind) {
            case BandKind::Title:
                title_ = title_ < 0 ? i : title_;
                break;
            case BandKind::Detail:
                detail_ = detail_ < 0 ? i : detail_;
                break;
            case BandKind::PageFooter:
                pageFooter_ = pageFooter_ < 0 ? i : pageFooter_;
                break;
            case BandKind::GroupHeader:
                headers_ << i;
                break;
            default:
                break;
            }
        }
        open_.fill(false, headers_.size());
        footerTop_ = def_.page.height() - def_.page.bottom -
                     (pageFooter_ >= 0 ? bands_[pageFooter_].band->height : 0);
    }

    double chainHeight(int band) const
    {
        double h = 0;
        for (int b = band, guard = 0; b >= 0 && guard < 16; b = bands_[b].child, ++guard)
            h += bands_[b].band->height;
        return h;
    }

    // The room a band takes with its children and, after them, whichever is taller of its
    // linked band and what else must follow it (ahead mm).
    double need(int band, double ahead) const
    {
        const int linked = bands_[band].linked;
        return chainHeight(band) + std::max(ahead, linked >= 0 ? chainHeight(linked) : 0.0);
    }

    // Prints the headers of the groups from level on (only those without an expression
    // when constantOnly).
    void openGroups(int level, int row, bool constantOnly)
    {
        // What must follow each header on its page: the header of the group inside it with
        // all that one needs in turn, and under the innermost one the first detail line.
        QVector<double> ahead(headers_.size(), 0);
        double follow = row >= 0 && detail_ >= 0 ? need(detail_, 0) : 0;
        for (int i = headers_.size() - 1; i >= level; --i) {
            if (constantOnly && bands_[headers_[i]].group)
                continue;
            ahead[i] = follow;
            follow = need(headers_[i], follow);
        }
        for (int i = level; i < headers_.size(); ++i) {
            if (constantOnly && bands_[headers_[i]].group)
                continue;
            printBand(headers_[i], row, true, ahead[i]);
            open_[i] = true;
        }
    }

    // Ends the open groups from the innermost one out to level: each footer prints with the
    // group's last record. Serves a change of group and the end of the data.
    void closeGroups(int level, int lastRow)
    {
        for (int i = headers_.size() - 1; i >= level; --i) {
            if (!open_[i])
                continue;
            const int footer = bands_[headers_[i]].footer;
            if (footer >= 0)
                printBand(footer, lastRow);
            open_[i] = false;
        }
    }

    // Prints the band and its children, on a new page when they and what must follow them
    // (ahead mm, or the linked band) do not fit in what is left of this one.
    void printBand(int index, int row, bool mayBreak = true, double ahead = 0)
    {
        const CompiledBand &cb = bands_[index];
        // A group of its own page breaks once lines or footers stand on this one; the headers of
        // the groups around it may precede it.
        if (mayBreak && cb.band->kind == BandKind::GroupHeader && cb.band->startsPage &&
            bodyOnPage_)
            newPage(row, true);
        else if (mayBreak && y_ + need(index, ahead) > footerTop_ + kEps && y_ > contentTop_ + kEps)
            newPage(row);
        put(cb, row);
        if (cb.child >= 0)
            printBand(cb.child, row, false);
    }

    void newPage(int row, bool groupStarts = false)
    {
        printPageFooter(row);
        startPage(row, groupStarts);
    }

    // The first page (0-based) of the pages counted together with page index: its group's
    // first page when pages count per group, else the report's.
    int firstOf(int index) const { return def_.pagesPerGroup ? firstPage_.at(index) : 0; }
    int countOf(int index) const
    {
        if (!def_.pagesPerGroup)
            return pageCount();
        int last = index;
        while (last + 1 < firstPage_.size() && firstPage_.at(last + 1) == firstPage_.at(index))
            ++last;
        return last - firstPage_.at(index) + 1;
    }

    void startPage(int row, bool groupStarts = false)
    {
        if (onDemand_) {
            placed_.append(QVector<Placement>());
            page_ = placed_.size();
        } else {
            pages_.append(Page());
            page_ = pages_.size();
            pages_.last().number = page_;
        }
        firstPage_.append(groupStarts || firstPage_.isEmpty() ? page_ - 1 : firstPage_.last());
        y_ = def_.page.top;
        contentTop_ = y_;
        bodyOnPage_ = false;
        continuing_ = true;
        for (int i = 0; i < headers_.size(); ++i)
            if (open_[i] && bands_[headers_[i]].band->reprintOnNewPage)
                printBand(headers_[i], row, false);
        continuing_ = false;
        contentTop_ = y_;
    }

    void printPageFooter(int row)
    {
        if (pageFooter_ < 0)
            return;
        y_ = footerTop_;
        put(bands_[pageFooter_], row);
    }

    void line(QVector<Primitive> &out, double x1, double y1, double x2, double y2,
              const QString &band)
    {
        Primitive p;
        p.kind = Primitive::Line;
        p.rect = QRectF(QPointF(x1, y1), QPointF(x2, y2));
        p.band = band;
        out << p;
    }

    // A filled rectangle; nothing for an invalid (unset) colour.
    void fill(QVector<Primitive> &out, const QRectF &r, const QColor &color, const QString &band)
    {
        if (!color.isValid())
            return;
        Primitive p;
        p.kind = Primitive::Fill;
        p.rect = r;
        p.color = color;
        p.band = band;
        out << p;
    }

    void edges(QVector<Primitive> &out, const QRectF &r, int which, const QString &band)
    {
        if (which & TopEdge)
            line(out, r.left(), r.top(), r.right(), r.top(), band);
        if (which & BottomEdge)
            line(out, r.left(), r.bottom(), r.right(), r.bottom(), band);
        if (which & LeftEdge)
            line(out, r.left(), r.top(), r.left(), r.bottom(), band);
        if (which & RightEdge)
            line(out, r.right(), r.top(), r.right(), r.bottom(), band);
    }

    void put(const CompiledBand &cb, int row)
    {
        const Band &b = *cb.band;
        if (b.height <= 0) {
            // Nothing to draw, but its per-group totals still end where it stands.
            for (const CompiledElement &ce : cb.elements)
                if (ce.element->resetAfterPrint)
                    for (SumNode *s : ce.sums)
                        s->reset();
            return;
        }
        if (b.kind == BandKind::Detail || b.kind == BandKind::GroupFooter)
            bodyOnPage_ = true;
        if (onDemand_)
            placed_.last() << Placement{int(&cb - bands_.constData()), row, y_, continuing_};
        else
            draw(cb, row, y_, page_, continuing_, pages_.last().items, nullptr);
        y_ += b.height;
    }

    // The band's primitives at y mm on the page (1-based); count is the number of pages
    // when it is known (on demand), otherwise "стр. N из M" is completed after the walk.
    void draw(const CompiledBand &cb, int row, double y, int page, bool continuing,
              QVector<Primitive> &out, const QString *count)
    {
        const Band &b = *cb.band;
        const double left = def_.page.left;
        const QRectF area(left, y, def_.page.width() - left - def_.page.right, b.height);
        fill(out, area, b.background, b.name);
        const EvalContext ctx{&src_, row, page};
        for (const CompiledElement &ce : cb.elements) {
            const Element &e = *ce.element;
            const double h = e.height > 0 ? e.height : b.height - e.top;
            const QRectF r(left + e.left, y + e.top, e.width, h);
            fill(out, r, e.background, b.name);
            QString text;
            switch (e.kind) {
            case ElementKind::Label:
                text = e.text;
                break;
            case ElementKind::PageNumber:
                text = QString::number(page - firstOf(page - 1));
                break;
            case ElementKind::PageOfPages:
                text = QStringLiteral("стр. %1 из %2")
                           .arg(page - firstOf(page - 1))
                           .arg(count ? *count : QStringLiteral("%1"));
                if (!count)
                    pageCounts_ << PageCount{int(pages_.size() - 1), int(out.size()), ce.font};
                break;
            case ElementKind::PrintDate:
                text = QStringLiteral("Дата печати: ") +
                       printed_.toString(QStringLiteral("dd.MM.yyyy"));
                break;
            default:
                text = formatValue(ce.expression->eval(ctx), e.mask);
            }
            if (continuing && !text.isEmpty())
                text += e.continuation;
            if (e.kind == ElementKind::PageOfPages && !count) {
                // Fitted once the count is known; the primitive keeps its place meanwhile.
                Primitive t;
                t.kind = Primitive::Text;
                t.rect = r;
                t.text = text;
                t.font = ce.font;
                t.align = e.align;
                t.band = b.name;
                out << t;
            } else if (!text.isEmpty()) {
                const FittedText fitted = fitText(text, ce.font, r.width(), r.height());
                Primitive t;
                t.kind = Primitive::Text;
                t.rect = r;
                t.text = fitted.text;
                t.font = fitted.font;
                t.align = e.align;
                t.band = b.name;
                out << t;
            }
            edges(out, r, e.borders, b.name);
            if (e.resetAfterPrint)
                for (SumNode *s : ce.sums)
                    s->reset();
        }
        edges(out, area, b.edges, b.name);
    }

    const ReportDef def_; // its own: the compiled bands point into it
    const std::shared_ptr<Source> source_;
    const Source &src_;
    bool onDemand_ = false;
    QVector<Page> pages_; // laid out at once
    // Laid out on demand: per page, each band printed on it, in order.
    struct Placement {
        int band;
        int row;
        double y;
        bool continuing;
    };
    QVector<QVector<Placement>> placed_;
    QVector<CompiledBand> bands_;
    QVector<SumNode *> sums_;
    QVector<int> headers_;
    QVector<bool> open_;
    int title_ = -1, detail_ = -1, pageFooter_ = -1;
    int page_ = 0;
    double y_ = 0, contentTop_ = 0, footerTop_ = 0;
    bool bodyOnPage_ = false; // a detail line or a group footer stands on the current page
    const QDate printed_;
    bool continuing_ = false; // reprinting the open groups' headers on a new page
    struct PageCount {
        int page, item;
        Font font;
    };
    QVector<PageCount> pageCounts_;
    QVector<int> firstPage_; // per page: the first page of those counted with it
};

Report::Report(ReportDef def) : def_(std::move(def)) {}

Report::~Report() = default;

bool Report::setLabel(const QString &name, const QString &text)
{
    for (Band &b : def_.bands)
        for (Element &e : b.elements)
            if (e.kind == ElementKind::Label && e.name == name) {
                e.text = text;
                return true;
            }
    return false;
}

QString Report::labelText(const QString &name) const
{
    for (const Band &b : def_.bands)
        for (const Element &e : b.elements)
            if (e.kind == ElementKind::Label && e.name == name)
                return e.text;
    return QString();
}

void Report::prepare()
{
    pages_ = QVector<Page>();
    layout_.reset();
    static const auto none = std::make_shared<TableSource>(QString(), QStringList());
    auto layout = std::make_shared<Layout>(def_, source_ ? source_ : none,
                                           printDate_.isValid() ? printDate_ : QDate::currentDate(),
                                           onDemand_);
    layout->run();
    if (layout->onDemand()) {
        pages_.resize(layout->pageCount());
        for (int i = 0; i < pages_.size(); ++i)
            pages_[i].number = i + 1;
        laidOut_.fill(false, pages_.size());
        layout_ = std::move(layout);
    } else {
        pages_ = layout->takePages();
        laidOut_.fill(true, pages_.size());
    }
}

int Report::pageCount() const
{
    return int(pages_.size());
}

const Page &Report::page(int index) const
{
    if (!laidOut_.at(index)) {
        pages_[index] = layout_->page(index);
        laidOut_[index] = true;
    }
    return pages_.at(index);
}

const QVector<Page> &Report::pages() const
{
    for (int i = 0; i < pages_.size(); ++i)
        page(i);
    return pages_;
}

const Page &Report::pageToPaint(int index, Page &scratch) const
{
    if (laidOut_.at(index))
        return pages_.at(index);
    scratch = layout_->page(index);
    return scratch;
}

void Report::clear()
{
    pages_ = QVector<Page>();
    laidOut_ = QVector<bool>();
    layout_.reset();
    source_.reset();
}

} // namespace report
