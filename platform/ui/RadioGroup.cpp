#include "RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ui {

RadioGroup::RadioGroup(const QString &title, const QStringList &items, QWidget *parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], this);
        group_->addButton(b, i);
        layout->addWidget(b);
    }
    setItemIndex(0);
}

int RadioGroup::itemIndex() const
{
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton *b = group_->button(index))
        b->setChecked(true);
}

QRadioButton *RadioGroup::item(int index) const
{
    return static_cast<QRadioButton *>(group_->button(index));
}

} // namespace ui
