// Every window of the program, opened as the user opens it, fits the smallest screen in use:
// 1366 x 768, frame included. ("Внеурочное" opens no window.)
#include "Drive.h"
#include "GuiApp.h"
#include "ScriptedMessages.h"
#include "journal/Unit1.h"
#include "ui/Form.h"

#include <QAction>
#include <QDialog>

using drive::whileShown;

class ScreenTest : public gui::Fixture {
    Q_OBJECT

    static void fits(QWidget *w)
    {
        const QSize frame = w->frameGeometry().size();
        const QSize room(ui::Form::kScreenWidth, ui::Form::kScreenHeight);
        QVERIFY2(frame.width() <= room.width() && frame.height() <= room.height(),
                 qPrintable(QStringLiteral("%1 \"%2\" is %3 x %4")
                                .arg(w->objectName(), w->windowTitle())
                                .arg(frame.width())
                                .arg(frame.height())));
    }

private slots:
    void initTestCase()
    {
        startProgram();
        Form1->show();
    }

    void journal() { fits(Form1); }

    void fromTheMenus_data()
    {
        QTest::addColumn<QString>("action");
        for (const char *a : {"N1", "N3", "N4", "N6", "N9", "N13", "N14", "N15", "N17", "N10"})
            QTest::newRow(a) << QString::fromLatin1(a);
    }
    void fromTheMenus()
    {
        QFETCH(QString, action);
        auto *item = Form1->findChild<QAction *>(action);
        QVERIFY(item);
        QVERIFY(whileShown<QDialog>([&] { item->trigger(); }, [&](QDialog *w) { fits(w); }));
        QVERIFY(msg_->shown.isEmpty());
    }
};

TABEL_TEST_MAIN(ScreenTest)
#include "tst_screen.moc"
