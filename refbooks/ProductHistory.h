#pragma once

#include <QString>

// Products are rows of the goods system's table, which carries no history trigger of ours:
// the product editor and the delete record their changes themselves, in the transaction
// that makes them.
namespace products {

// The goods row of a product as JSON text; empty when there is none.
QString rowOf(qlonglong id);
// The id the last product insert of this session took.
qlonglong lastInserted();
// Records a change: the row as it was ("" for a new product) and as it is now (none after a
// delete).
void noteChange(qlonglong id, const QString &action, const QString &before);

} // namespace products
