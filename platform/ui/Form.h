#pragma once

#include <QDialog>
#include <functional>

class QPushButton;

namespace ui {

// Base of every window: a dialog shown modally, with an activation step that runs when it
// is shown and again whenever a window it opened has closed, an Esc that presses its
// cancel button, and a place on the screen.
class Form : public QDialog {
    Q_OBJECT
public:
    enum class Placement { Screen, MainForm };
    // The smallest screen the program is used on. Every window fits it with its frame.
    static constexpr int kScreenWidth = 1366;
    static constexpr int kScreenHeight = 768;
    // Room left for the window manager's frame around a window's contents.
    static constexpr int kFrameAllowance = 16;

    explicit Form(QWidget *parent = nullptr);

    // Runs when the window becomes the active window of the program.
    virtual void FormActivate() {}

    // Shows another window modally; when it closes this window is active again.
    int showChild(QDialog *child);

    void setCancelButton(QPushButton *button) { cancel_ = button; }
    void setPlacement(Placement p) { placement_ = p; }
    // The window others centre on.
    static void setMainForm(QWidget *form);
    // Where the windows the user may resize keep their size and place between runs; empty
    // (the default): the user's ~/.config/tabel/windows.conf. Tests give a file of their own.
    static void setGeometryFile(const QString &path);
    // Makes exactly this button of the window the default one (nullptr: none).
    void makeDefault(QPushButton *button);

    // The keys of a list: Ins adds, Enter on the grid or F2 changes (or picks, whatever the
    // button does then), Del deletes, F5 re-reads. A key presses its button only while the
    // button is shown and enabled, so the roles' and modes' rules hold for the keys as well.
    // Any button may be nullptr.
    struct ListButtons {
        QPushButton *add = nullptr;
        QPushButton *change = nullptr;
        QPushButton *remove = nullptr;
        QPushButton *refresh = nullptr;
    };
    void bindListKeys(QWidget *grid, const ListButtons &buttons);

    // A push button of this window named as its component.
    QPushButton *newButton(const char *name, const QString &text);
    struct EditorButtons {
        QPushButton *save;
        QPushButton *cancel;
    };
    // An editor's layout: its frame above a bar with "Записать" (saveButton, the default
    // button) and "Отмена" (cancelButton, the cancel button, closes without saving). The window
    // keeps the size its contents need.
    EditorButtons layOutEditor(QWidget *frame, bool saveAtLeft);

    // An editor: while it is open it holds what the user typed and has not saved.
    void setHoldsTypedWork(bool holds) { holdsTypedWork_ = holds; }
    // Whether an editor is open.
    static bool typedWorkOpen();
    // Runs then once no editor is open any more: at once when none is, else after the last
    // one closed (saved or cancelled). One waiting action at a time; a new one replaces it.
    static void whenNoTypedWork(std::function<void()> then);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool resizable() const;
    void restorePlace();
    QPushButton *cancel_ = nullptr;
    Placement placement_ = Placement::MainForm;
    bool holdsTypedWork_ = false;
};

} // namespace ui
