#pragma once

#include <QComboBox>
#include <QVariant>

namespace db {
class Dataset;
}

// A drop-down over a dataset: shows one field, holds the key of the chosen row. The key
// stays held even when no listed row carries it (the box then shows nothing).
class LookupCombo : public QComboBox {
    Q_OBJECT
public:
    LookupCombo(const QString &name, db::Dataset *list, const QString &keyField,
                const QString &listField, QWidget *parent = nullptr);

    db::Dataset *list() const { return list_; }
    // Re-reads the list's rows (the list is closed and opened), keeping the held key.
    void reload();
    QVariant keyValue() const { return key_; }
    void setKeyValue(const QVariant &key);
    // Moves the choice one row down or up, as the arrow keys do.
    void step(int delta);

private:
    void showKey();

    db::Dataset *list_;
    QString keyField_;
    QString listField_;
    QVariant key_;
    bool syncing_ = false;
};
