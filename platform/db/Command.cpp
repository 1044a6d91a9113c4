#include "Command.h"

#include "Statement.h"
#include "SqlError.h"

#include <QSqlQuery>

namespace db {

void Command::setParam(const QString &name, const QVariant &value)
{
    params_.insert(name.toLower(), value);
}

int Command::execute()
{
    QSqlQuery q = exec(sql_, params_);
    return q.numRowsAffected();
}

void Command::executeOne()
{
    if (execute() == 0)
        throw RowChanged();
}

} // namespace db
