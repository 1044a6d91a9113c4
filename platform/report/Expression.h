#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

namespace report {

class Source;

// What an expression is evaluated against: a record of the source and the page being laid
// out.
struct EvalContext {
    const Source *source = nullptr;
    int row = -1; // -1: no record (fields read as null)
    int page = 0;
};

// An expression parsed once, against the fields of one source. Values are numbers (double),
// texts (QString), truth values (bool) or null.
class Expression {
public:
    // Throws std::runtime_error on a syntax error or an unknown field.
    static std::shared_ptr<Expression> parse(const QString &text, const Source &source);
    virtual ~Expression() = default;
    virtual QVariant eval(const EvalContext &ctx) const = 0;
    // Every sum() node of the expression, in order.
    virtual void collectSums(QVector<class SumNode *> &out);
};

// sum(x): owns its accumulator.
class SumNode : public Expression {
public:
    explicit SumNode(std::shared_ptr<Expression> arg) : arg_(std::move(arg)) {}
    QVariant eval(const EvalContext &) const override { return total_; }
    void collectSums(QVector<SumNode *> &out) override { out << this; }
    void feed(const EvalContext &ctx);
    void reset() { total_ = 0; }

private:
    std::shared_ptr<Expression> arg_;
    double total_ = 0;
};

// A value as printed: numbers through the mask or, without one, up to 15 significant
// digits; the user's decimal separator; texts without trailing blanks. A mask's zeros after
// the point are decimals always shown, its hashes decimals shown when not zero, and a comma
// before the point groups thousands as the accountants write them (figures::number):
// "#0.00" 1234.5 -> "1234,50", "#,##0.00" -> "1 234,50", "#,##0.##" -> "1 234,5".
QString formatValue(const QVariant &v, const QString &mask = QString());
bool isNumeric(const QVariant &v);

} // namespace report
