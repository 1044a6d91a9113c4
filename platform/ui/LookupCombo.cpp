#include "LookupCombo.h"

#include "db/Dataset.h"

LookupCombo::LookupCombo(const QString &name, db::Dataset *list, const QString &keyField,
                         const QString &listField, QWidget *parent)
    : QComboBox(parent), list_(list), keyField_(keyField), listField_(listField)
{
    setObjectName(name);
    setMaxVisibleItems(10);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_ || index < 0)
            return;
        key_ = itemData(index);
        list_->locate(keyField_, key_);
    });
}

void LookupCombo::reload()
{
    syncing_ = true;
    list_->close();
    list_->open();
    clear();
    for (int row = 0; row < list_->recordCount(); ++row)
        addItem(list_->valueAt(row, listField_).toString().trimmed(),
                list_->valueAt(row, keyField_));
    syncing_ = false;
    showKey();
}

void LookupCombo::setKeyValue(const QVariant &key)
{
    key_ = key;
    showKey();
    if (!key.isNull())
        list_->locate(keyField_, key);
}

void LookupCombo::showKey()
{
    syncing_ = true;
    int at = -1;
    if (!key_.isNull()) {
        for (int i = 0; i < count(); ++i) {
            if (itemData(i).toString() == key_.toString()) {
                at = i;
                break;
            }
        }
    }
    setCurrentIndex(at);
    syncing_ = false;
}

void LookupCombo::step(int delta)
{
    if (count() == 0)
        return;
    const int at = currentIndex() < 0 ? 0 : qBound(0, currentIndex() + delta, count() - 1);
    setCurrentIndex(at);
}
