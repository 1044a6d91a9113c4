#include "Organisation.h"
#include "StoredText.h"

#include "db/Command.h"
#include "db/Dataset.h"

#include <QRegularExpression>

namespace shop {

bool Organisation::operator==(const Organisation &o) const
{
    return name == o.name && department == o.department && okpo == o.okpo &&
           responsibleName == o.responsibleName && responsiblePosition == o.responsiblePosition &&
           headName == o.headName && headPosition == o.headPosition && hrName == o.hrName &&
           hrPosition == o.hrPosition;
}

Organisation organisation()
{
    db::Dataset q(QStringLiteral("organisation"));
    q.setSql(QStringLiteral(R"(
        select name, department, okpo, responsible_name, responsible_position, head_name,
               head_position, hr_name, hr_position
        from accounts_dep.organisation
        where id=1)"));
    q.open();
    Organisation o;
    if (q.isEmpty())
        return o;
    o.name = q.asString(QStringLiteral("name"));
    o.department = q.asString(QStringLiteral("department"));
    o.okpo = q.asString(QStringLiteral("okpo"));
    o.responsibleName = q.asString(QStringLiteral("responsible_name"));
    o.responsiblePosition = q.asString(QStringLiteral("responsible_position"));
    o.headName = q.asString(QStringLiteral("head_name"));
    o.headPosition = q.asString(QStringLiteral("head_position"));
    o.hrName = q.asString(QStringLiteral("hr_name"));
    o.hrPosition = q.asString(QStringLiteral("hr_position"));
    return o;
}

void saveOrganisation(const Organisation &o)
{
    // The row exists from the schema on; an update keeps the grant to the administrator
    // alone (nobody inserts or deletes it).
    db::Command c(QStringLiteral(R"(
        update accounts_dep.organisation
        set name=:name, department=:department, okpo=:okpo, responsible_name=:rn,
            responsible_position=:rp, head_name=:hn, head_position=:hp, hr_name=:kn, hr_position=:kp
        where id=1)"));
    const auto text = [](const QString &s) { return storedText(s); };
    c.setParam(QStringLiteral("name"), text(o.name));
    c.setParam(QStringLiteral("department"), text(o.department));
    c.setParam(QStringLiteral("okpo"), text(o.okpo));
    c.setParam(QStringLiteral("rn"), text(o.responsibleName));
    c.setParam(QStringLiteral("rp"), text(o.responsiblePosition));
    c.setParam(QStringLiteral("hn"), text(o.headName));
    c.setParam(QStringLiteral("hp"), text(o.headPosition));
    c.setParam(QStringLiteral("kn"), text(o.hrName));
    c.setParam(QStringLiteral("kp"), text(o.hrPosition));
    c.executeOne();
}

QString okpoProblem(const QString &okpo)
{
    static const QRegularExpression digits(QStringLiteral("^([0-9]{8}|[0-9]{10}|[0-9]{14})$"));
    const QString t = okpo.trimmed();
    if (t.isEmpty() || digits.match(t).hasMatch())
        return QString();
    return QStringLiteral("Код ОКПО состоит из 8, 10 или 14 цифр.");
}

} // namespace shop
