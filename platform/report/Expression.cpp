#include "Expression.h"

#include "Source.h"

#include "text/Figures.h"

#include <QLocale>
#include <cmath>
#include <stdexcept>

namespace report {

namespace {

[[noreturn]] void fail(const QString &text, const QString &expression)
{
    throw std::runtime_error(
        QStringLiteral("Ошибка в выражении отчета \"%1\": %2").arg(expression, text).toStdString());
}

double toNumber(const QVariant &v)
{
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::QString)
        return QLocale::c().toDouble(v.toString().trimmed().replace(QLatin1Char(','), '.'));
    return v.toDouble();
}

QString toText(const QVariant &v)
{
    if (isNumeric(v))
        return formatValue(v);
    return v.toString();
}

bool truth(const QVariant &v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (isNumeric(v))
        return v.toDouble() != 0;
    return !v.toString().isEmpty();
}

class Literal : public Expression {
public:
    explicit Literal(QVariant v) : v_(std::move(v)) {}
    QVariant eval(const EvalContext &) const override { return v_; }

private:
    QVariant v_;
};

class FieldNode : public Expression {
public:
    explicit FieldNode(int index) : index_(index) {}
    QVariant eval(const EvalContext &ctx) const override
    {
        if (ctx.row < 0 || !ctx.source)
            return QVariant();
        return ctx.source->value(ctx.row, index_);
    }

private:
    int index_;
};

class PageNode : public Expression {
public:
    QVariant eval(const EvalContext &ctx) const override { return double(ctx.page); }
};

class Binary : public Expression {
public:
    Binary(QString op, std::shared_ptr<Expression> l, std::shared_ptr<Expression> r)
        : op_(std::move(op)), l_(std::move(l)), r_(std::move(r))
    {
    }
    void collectSums(QVector<SumNode *> &out) override
    {
        l_->collectSums(out);
        r_->collectSums(out);
    }
    QVariant eval(const EvalContext &ctx) const override
    {
        const QVariant a = l_->eval(ctx);
        const QVariant b = r_->eval(ctx);
        const bool numbers = (isNumeric(a) || a.isNull()) && (isNumeric(b) || b.isNull());
        if (op_ == QLatin1String("+")) {
            if (numbers)
                return toNumber(a) + toNumber(b);
            return toText(a) + toText(b);
        }
        if (op_ == QLatin1String("-"))
            return toNumber(a) - toNumber(b);
        if (op_ == QLatin1String("*"))
            return toNumber(a) * toNumber(b);
        if (op_ == QLatin1String("/")) {
            const double d = toNumber(b);
            return d == 0 ? QVariant(0.0) : QVariant(toNumber(a) / d);
        }
        int cmp;
        if (numbers) {
            const double x = toNumber(a), y = toNumber(b);
            cmp = x < y ? -1 : (x > y ? 1 : 0);
        } else {
            cmp = QString::compare(toText(a), toText(b));
        }
        if (op_ == QLatin1String("="))
            return cmp == 0;
        if (op_ == QLatin1String("<>"))
            return cmp != 0;
        if (op_ == QLatin1String(">"))
            return cmp > 0;
        if (op_ == QLatin1String("<"))
            return cmp < 0;
        if (op_ == QLatin1String(">="))
            return cmp >= 0;
        return cmp <= 0;
    }

private:
    QString op_;
    std::shared_ptr<Expression> l_, r_;
};

class Negate : public Expression {
public:
    explicit Negate(std::shared_ptr<Expression> x) : x_(std::move(x)) {}
    void collectSums(QVector<SumNode *> &out) override { x_->collectSums(out); }
    QVariant eval(const EvalContext &ctx) const override { return -toNumber(x_->eval(ctx)); }

private:
    std::shared_ptr<Expression> x_;
};

class IfNode : public Expression {
public:
    IfNode(std::shared_ptr<Expression> c, std::shared_ptr<Expression> a,
           std::shared_ptr<Expression> b)
        : c_(std::move(c)), a_(std::move(a)), b_(std::move(b))
    {
    }
    void collectSums(QVector<SumNode *> &out) override
    {
        c_->collectSums(out);
        a_->collectSums(out);
        b_->collectSums(out);
    }
    QVariant eval(const EvalContext &ctx) const override
    {
        return truth(c_->eval(ctx)) ? a_->eval(ctx) : b_->eval(ctx);
    }

private:
    std::shared_ptr<Expression> c_, a_, b_;
};

class StrNode : public Expression {
public:
    explicit StrNode(std::shared_ptr<Expression> x) : x_(std::move(x)) {}
    void collectSums(QVector<SumNode *> &out) override { x_->collectSums(out); }
    QVariant eval(const EvalContext &ctx) const override { return toText(x_->eval(ctx)); }

private:
    std::shared_ptr<Expression> x_;
};

// Recursive descent over the text:
//   compare  := additive [ ('=' | '<>' | '>' | '<' | '>=' | '<=') additive ]
//   additive := term { ('+' | '-') term }
//   term     := unary { ('*' | '/') unary }
//   unary    := '-' unary | primary
//   primary  := number | 'text' | name [ '.' name ] | name '(' args ')' | '(' compare ')'
class Parser {
public:
    Parser(const QString &text, const Source &source) : s_(text), src_(source) {}

    std::shared_ptr<Expression> run()
    {
        auto e = compare();
        skip();
        if (p_ < s_.size())
            fail(QStringLiteral("лишний текст с позиции %1").arg(p_ + 1), s_);
        return e;
    }

private:
    void skip()
    {
        while (p_ < s_.size() && s_[p_].isSpace())
            ++p_;
    }
    bool take(const QString &tok)
    {
        skip();
        if (s_.mid(p_, tok.size()) == tok) {
            p_ += tok.size();
            return true;
        }
        return false;
    }
    void expect(QChar c)
    {
        if (!take(QString(c)))
            fail(QStringLiteral("ожидается '%1' в позиции %2").arg(c).arg(p_ + 1), s_);
    }

    std::shared_ptr<Expression> compare()
    {
        auto l = additive();
        static const QStringList ops = {"<>", ">=", "<=", "=", ">", "<"};
        for (const QString &op : ops)
            if (take(op))
                return std::make_shared<Binary>(op, l, additive());
        return l;
    }
    std::shared_ptr<Expression> additive()
    {
        auto l = term();
        for (;;) {
            if (take(QStringLiteral("+")))
                l = std::make_shared<Binary>(QStringLiteral("+"), l, term());
            else if (take(QStringLiteral("-")))
                l = std::make_shared<Binary>(QStringLiteral("-"), l, term());
            else
                return l;
        }
    }
    std::shared_ptr<Expression> term()
    {
        auto l = unary();
        for (;;) {
            if (take(QStringLiteral("*")))
                l = std::make_shared<Binary>(QStringLiteral("*"), l, unary());
            else if (take(QStringLiteral("/")))
                l = std::make_shared<Binary>(QStringLiteral("/"), l, unary());
            else
                return l;
        }
    }
    std::shared_ptr<Expression> unary()
    {
        if (take(QStringLiteral("-")))
            return std::make_shared<Negate>(unary());
        return primary();
    }
    QVector<std::shared_ptr<Expression>> args(const QString &fn, int count)
    {
        expect('(');
        QVector<std::shared_ptr<Expression>> out;
        out << compare();
        while (take(QStringLiteral(",")))
            out << compare();
        expect(')');
        if (out.size() != count)
            fail(QStringLiteral("%1 ждет аргументов: %2").arg(fn).arg(count), s_);
        return out;
    }
    std::shared_ptr<Expression> primary()
    {
        skip();
        if (p_ >= s_.size())
            fail(QStringLiteral("неожиданный конец"), s_);
        const QChar c = s_[p_];
        if (c == '(') {
            ++p_;
            auto e = compare();
            expect(')');
            return e;
        }
        if (c == '\'') {
            QString text;
            ++p_;
            for (;;) {
                if (p_ >= s_.size())
                    fail(QStringLiteral("незакрытая кавычка"), s_);
                if (s_[p_] == '\'') {
                    if (p_ + 1 < s_.size() && s_[p_ + 1] == '\'') { // '' inside a text
                        text += '\'';
                        p_ += 2;
                        continue;
                    }
                    ++p_;
                    break;
                }
                text += s_[p_++];
            }
            return std::make_shared<Literal>(text);
        }
        if (c.isDigit() || c == '.') {
            const int start = p_;
            while (p_ < s_.size() && (s_[p_].isDigit() || s_[p_] == '.'))
                ++p_;
            bool ok = false;
            const double v = s_.mid(start, p_ - start).toDouble(&ok);
            if (!ok)
                fail(QStringLiteral("неверное число"), s_);
            return std::make_shared<Literal>(v);
        }
        if (c.isLetter() || c == '_') {
            QString name = word();
            skip();
            const QString upper = name.toUpper();
            if (p_ < s_.size() && s_[p_] == '(') {
                if (upper == QLatin1String("IF")) {
                    auto a = args(upper, 3);
                    return std::make_shared<IfNode>(a[0], a[1], a[2]);
                }
                if (upper == QLatin1String("STR"))
                    return std::make_shared<StrNode>(args(upper, 1)[0]);
                if (upper == QLatin1String("SUM")) {
                    auto arg = args(upper, 1)[0];
                    QVector<SumNode *> inner;
                    arg->collectSums(inner);
                    if (!inner.isEmpty())
                        fail(QStringLiteral("сумма внутри суммы"), s_);
                    return std::make_shared<SumNode>(arg);
                }
                fail(QStringLiteral("неизвестная функция %1").arg(name), s_);
            }
            if (upper == QLatin1String("PAGENUMBER"))
                return std::make_shared<PageNode>();
            if (p_ < s_.size() && s_[p_] == '.') { // qualified by the source's name
                ++p_;
                name = word();
            }
            const int index = src_.fieldIndex(name);
            if (index < 0)
                fail(QStringLiteral("нет поля %1").arg(name), s_);
            return std::make_shared<FieldNode>(index);
        }
        fail(QStringLiteral("неожиданный знак '%1'").arg(c), s_);
    }
    QString word()
    {
        const int start = p_;
        while (p_ < s_.size() && (s_[p_].isLetterOrNumber() || s_[p_] == '_'))
            ++p_;
        if (p_ == start)
            fail(QStringLiteral("ожидается имя в позиции %1").arg(p_ + 1), s_);
        return s_.mid(start, p_ - start);
    }

    const QString &s_;
    const Source &src_;
    int p_ = 0;
};

} // namespace

void Expression::collectSums(QVector<SumNode *> &) {}

std::shared_ptr<Expression> Expression::parse(const QString &text, const Source &source)
{
    return Parser(text, source).run();
}

void SumNode::feed(const EvalContext &ctx)
{
    total_ += toNumber(arg_->eval(ctx));
}

bool isNumeric(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

QString formatValue(const QVariant &v, const QString &mask)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    const QLocale locale;
    if (isNumeric(v) || (!mask.isEmpty() && v.typeId() == QMetaType::QString)) {
        const double d = toNumber(v);
        if (!mask.isEmpty()) {
            // "0" after the point: a decimal always shown; "#": one shown when not zero.
            // A comma before the point groups the thousands.
            const int point = int(mask.indexOf(QLatin1Char('.')));
            const QString decimals = point < 0 ? QString() : mask.mid(point + 1);
            const int shown = int(decimals.count(QLatin1Char('0')));
            const bool grouped = mask.left(point < 0 ? mask.size() : point).contains(',');
            return figures::number(d, shown, int(decimals.size()), grouped);
        }
        QString s = QString::number(d, 'g', 15);
        if (s.contains(QLatin1Char('e')))
            s = QString::number(d, 'f', 2);
        return s.replace(QLatin1Char('.'), locale.decimalPoint());
    }
    QString s = v.toString();
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

} // namespace report
