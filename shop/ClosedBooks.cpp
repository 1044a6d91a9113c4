#include "ClosedBooks.h"

#include "db/Dataset.h"

namespace shop::closedBooks {

namespace {

QString productSentence(const QString &period)
{
    return period.isEmpty()
               ? QString()
               : QStringLiteral("Изделие использовано в закрытом периоде %1: его группа и масса "
                                "не меняются, и удалить его нельзя. Заведите новое изделие.")
                     .arg(period);
}

} // namespace

QString productChangeRefusal(qlonglong productId, qlonglong group, const QString &mass)
{
    db::Dataset q(QStringLiteral("ClosedProductChange"));
    q.setSql(QStringLiteral(R"(
        select accounts_dep.closed_month_of_product(g.id::bigint) as period
        from cmn_gds_and_srv.gds_and_srv g
        where g.id=:id
          and (g.id_class_item is distinct from :grp
               or g.massa is distinct from cast(nullif(:mass, '') as numeric)))"));
    q.setParam(QStringLiteral("id"), productId);
    q.setParam(QStringLiteral("grp"), group);
    q.setParam(QStringLiteral("mass"), mass);
    q.open();
    return q.isEmpty() ? QString() : productSentence(q.asString(QStringLiteral("period")));
}

QString productDeleteRefusal(qlonglong productId)
{
    db::Dataset q(QStringLiteral("ClosedProductDelete"));
    q.setSql(QStringLiteral("select accounts_dep.closed_month_of_product(:id) as period"));
    q.setParam(QStringLiteral("id"), productId);
    q.open();
    return productSentence(q.asString(QStringLiteral("period")));
}

} // namespace shop::closedBooks
