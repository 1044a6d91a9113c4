#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace ui {

// A framed column of radio buttons chosen by item index, the first one chosen initially.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString &title, const QStringList &items, QWidget *parent = nullptr);
    int itemIndex() const;
    void setItemIndex(int index);
    QRadioButton *item(int index) const;

private:
    QButtonGroup *group_;
};

} // namespace ui
