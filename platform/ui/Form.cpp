#include "Form.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <utility>

namespace ui {

namespace {
QPointer<QWidget> mainForm;
QString geometryFile;
std::function<void()> afterTypedWork; // waits for the last open editor to close

// The user's own store of window places: ~/.config/tabel/windows.conf.
std::unique_ptr<QSettings> geometryStore()
{
    if (!geometryFile.isEmpty())
        return std::make_unique<QSettings>(geometryFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("tabel"), QStringLiteral("windows"));
}

QString geometryKey(const QWidget *w)
{
    return QStringLiteral("windows/") + w->objectName() + QStringLiteral("/geometry");
}
} // namespace

void Form::setGeometryFile(const QString &path)
{
    geometryFile = path;
}

bool Form::resizable() const
{
    return minimumSize() != maximumSize() && !objectName().isEmpty();
}

Form::Form(QWidget *parent) : QDialog(parent)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

bool Form::typedWorkOpen()
{
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](QWidget *w) {
        const auto *form = qobject_cast<Form *>(w);
        return form && form->holdsTypedWork_ && form->isVisible();
    });
}

void Form::whenNoTypedWork(std::function<void()> then)
{
    afterTypedWork = nullptr;
    if (!typedWorkOpen()) {
        then();
        return;
    }
    afterTypedWork = std::move(then);
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

QPushButton *Form::newButton(const char *name, const QString &text)
{
    auto *b = new QPushButton(text, this);
    b->setObjectName(QLatin1String(name));
    return b;
}

Form::EditorButtons Form::layOutEditor(QWidget *frame, bool saveAtLeft)
{
    EditorButtons b{newButton("saveButton", QStringLiteral("Записать")),
                    newButton("cancelButton", QStringLiteral("Отмена"))};
    makeDefault(b.save);
    setCancelButton(b.cancel);
    connect(b.cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *root = new QVBoxLayout(this);
    root->addWidget(frame);
    auto *bar = new QHBoxLayout;
    if (!saveAtLeft)
        bar->addStretch();
    bar->addWidget(b.save);
    if (saveAtLeft)
        bar->addStretch();
    bar->addWidget(b.cancel);
    root->addLayout(bar);
    root->setSizeConstraint(QLayout::SetFixedSize);
    return b;
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
        restorePlace();
        FormActivate();
    }
}

// A window the user may resize opens where and as large as he left it, as long as that
// place is still on a screen.
void Form::restorePlace()
{
    if (!resizable())
        return;
    const QByteArray stored = geometryStore()->value(geometryKey(this)).toByteArray();
    if (stored.isEmpty())
        return;
    const QRect before = geometry();
    restoreGeometry(stored);
    const QScreen *s = QGuiApplication::screenAt(frameGeometry().center());
    if (!s || !s->availableGeometry().intersects(frameGeometry()))
        setGeometry(before);
}

void Form::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous() && resizable())
        geometryStore()->setValue(geometryKey(this), saveGeometry());
    QDialog::hideEvent(event);
    // An editor closed: what waited for the last one runs once the editor's own loop is done.
    if (holdsTypedWork_ && afterTypedWork)
        QTimer::singleShot(0, [] {
            if (afterTypedWork && !typedWorkOpen())
                std::exchange(afterTypedWork, nullptr)();
        });
}

void Form::bindListKeys(QWidget *grid, const ListButtons &buttons)
{
    const auto press = [](QPushButton *b) {
        if (b && b->isVisible() && b->isEnabled())
            b->click();
    };
    const auto bind = [this, press](const QKeySequence &key, QWidget *scope, QPushButton *b,
                                    Qt::ShortcutContext context) {
        if (!b)
            return;
        auto *s = new QShortcut(key, scope);
        s->setContext(context);
        connect(s, &QShortcut::activated, this, [press, b] { press(b); });
    };
    bind(QKeySequence(Qt::Key_Insert), this, buttons.add, Qt::WindowShortcut);
    bind(QKeySequence(Qt::Key_F2), this, buttons.change, Qt::WindowShortcut);
    bind(QKeySequence(Qt::Key_F5), this, buttons.refresh, Qt::WindowShortcut);
    // Enter and Del belong to the grid: in a field they type or take a letter away.
    bind(QKeySequence(Qt::Key_Return), grid, buttons.change, Qt::WidgetShortcut);
    bind(QKeySequence(Qt::Key_Enter), grid, buttons.change, Qt::WidgetShortcut);
    bind(QKeySequence(Qt::Key_Delete), grid, buttons.remove, Qt::WidgetShortcut);
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
