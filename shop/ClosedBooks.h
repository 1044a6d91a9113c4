#pragma once

#include <QString>

// What a closed month's figures stand on stays as it was paid. The server itself refuses a
// change of an operation's kind, product or kind of product, and a change of a worker's
// number, while a closed month's entries use them. Products live in the goods system's
// table, so the program refuses their changes here: the group and the mass of a product
// that a closed month's entries use do not change, and it is not deleted.
namespace shop::closedBooks {

// The sentence refusing a change of the product to this group and mass (a number with a
// point), or an empty text when the change leaves both as stored or no closed month uses
// the product.
QString productChangeRefusal(qlonglong productId, qlonglong group, const QString &mass);
// The sentence refusing the product's delete, or an empty text.
QString productDeleteRefusal(qlonglong productId);

} // namespace shop::closedBooks
