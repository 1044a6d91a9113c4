// The message boxes themselves, as the program shows them when no test answers for them.
#include "GuiApp.h"
#include "Modal.h"
#include "ui/Application.h"
#include "ui/Messages.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

class MessagesTest : public QObject {
    Q_OBJECT
private slots:
    // A box that comes up during long work (the hourglass showing) is answered with the
    // usual pointer; the work's hourglass is back once it is answered. Outside such work a box
    // sets no pointer of its own.
    void boxesShowThePointer()
    {
        Qt::CursorShape during = Qt::WaitCursor;
        QString yes;
        const auto answer = [&](QMessageBox *box) {
            during = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                                    : Qt::BlankCursor;
            yes = box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->text() : QString();
            if (box->button(QMessageBox::Yes))
                box->button(QMessageBox::Yes)->click();
            else
                box->accept();
        };
        {
            const ui::WaitCursor wait;
            modal::when<QMessageBox>(answer);
            QVERIFY(ui::askYesNo(QStringLiteral("Удалить позицию из списка?"),
                                 QStringLiteral("Удаление")));
            QCOMPARE(during, Qt::ArrowCursor);
            QCOMPARE(yes, QStringLiteral("Да"));
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

            modal::when<QMessageBox>(answer);
            ui::showError(QStringLiteral("Нет связи с сервером"), QStringLiteral("Ошибка"));
            QCOMPARE(during, Qt::ArrowCursor);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QVERIFY(!QApplication::overrideCursor());
        modal::when<QMessageBox>(answer);
        ui::showError(QStringLiteral("Нет связи с сервером"), QStringLiteral("Ошибка"));
        QCOMPARE(during, Qt::BlankCursor);
        QVERIFY(!QApplication::overrideCursor());
    }
};

TABEL_TEST_MAIN(MessagesTest)
#include "tst_messages.moc"
