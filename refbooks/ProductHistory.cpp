#include "ProductHistory.h"

#include "db/Command.h"
#include "db/Dataset.h"

namespace products {

QString rowOf(qlonglong id)
{
    db::Dataset q(QStringLiteral("productRow"));
    q.setSql(QStringLiteral("select to_jsonb(g)::text as j from cmn_gds_and_srv.gds_and_srv g "
                            "where g.id=:id"));
    q.setParam(QStringLiteral("id"), id);
    q.open();
    return q.isEmpty() ? QString() : q.asString(QStringLiteral("j"));
}

qlonglong lastInserted()
{
    db::Dataset q(QStringLiteral("productId"));
    q.setSql(QStringLiteral("select currval('cmn_gds_and_srv.gds_and_srv_id_seq') as id"));
    q.open();
    return q.value(QStringLiteral("id")).toLongLong();
}

void noteChange(qlonglong id, const QString &action, const QString &before)
{
    db::Command note(QStringLiteral(
        "select accounts_dep.note_product_change(:id, :act, nullif(:before, '')::jsonb, "
        "(select to_jsonb(g) from cmn_gds_and_srv.gds_and_srv g where g.id=:row))"));
    note.setParam(QStringLiteral("id"), id);
    note.setParam(QStringLiteral("act"), action);
    note.setParam(QStringLiteral("before"), before);
    note.setParam(QStringLiteral("row"), id);
    note.execute();
}

} // namespace products
