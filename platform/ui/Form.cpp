#include "Form.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace ui {

namespace {
QPointer<QWidget> mainForm;
}

Form::Form(QWidget *parent) : QDialog(parent)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void Form::setMainForm(QWidget *form)
{
    mainForm = form;
}

int Form::showChild(QDialog *child)
{
    const int result = child->exec();
    if (isVisible())
        FormActivate();
    return result;
}

void Form::makeDefault(QPushButton *button)
{
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setDefault(b == button);
}

void Form::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        QRect area;
        if (placement_ == Placement::MainForm && mainForm && mainForm != this &&
            mainForm->isVisible())
            area = mainForm->frameGeometry();
        else if (QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen())
            area = s->availableGeometry();
        if (area.isValid()) {
            QRect r = frameGeometry();
            r.moveCenter(area.center());
            move(r.topLeft());
        }
        FormActivate();
    }
}

void Form::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cancel_ && cancel_->isVisible() && cancel_->isEnabled())
            cancel_->click();
        else
            reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace ui
