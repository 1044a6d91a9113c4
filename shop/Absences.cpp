#include "Absences.h"
#include "StoredText.h"

#include "db/Command.h"
#include "db/Dataset.h"
#include "db/Transaction.h"

namespace shop::absences {

QList<int> add(const QList<int> &workers, const QString &code, const QDate &first,
               const QDate &last, const QString &note)
{
    QList<int> ids;
    db::transaction([&] {
        ids.clear();
        db::Dataset q(QStringLiteral("absenceAdd"));
        q.setSql(QStringLiteral(R"(
            insert into accounts_dep.absence (w_id, code, first, last, note)
            values (:w, :c, :f, :l, :n)
            returning id)"));
        for (int w : workers) {
            q.close();
            q.setParam(QStringLiteral("w"), w);
            q.setParam(QStringLiteral("c"), storedText(code));
            q.setParam(QStringLiteral("f"), first);
            q.setParam(QStringLiteral("l"), last);
            q.setParam(QStringLiteral("n"), storedText(note));
            q.open();
            ids << q.asInteger(QStringLiteral("id"));
        }
    });
    return ids;
}

void remove(int id)
{
    db::Command c(QStringLiteral("delete from accounts_dep.absence where id=:id"));
    c.setParam(QStringLiteral("id"), id);
    c.executeOne();
}

} // namespace shop::absences
