#include "Preview.h"

#include "PageView.h"
#include "Report.h"
#include "ui/Messages.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

namespace report {

PreviewWindow::PreviewWindow(const Report &report, QWidget *parent)
    : QDialog(parent), report_(report)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Просмотр отчета"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto *root = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    auto button = [this, bar](const char *name, const QString &text, auto slot) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    view_ = new PageView(report, this);
    view_->setObjectName(QStringLiteral("Pages"));
    view_->setAccessibleName(QStringLiteral("Страницы отчета"));
    connect(view_, &PageView::currentPageChanged, this, &PreviewWindow::updatePageLabel);

    button("First", QStringLiteral("|<"), [this] {
        goTo(1);
    })->setToolTip(QStringLiteral("Первая страница"));
    button("Prior", QStringLiteral("<"), [this] {
        goTo(currentPage() - 1);
    })->setToolTip(QStringLiteral("Предыдущая страница"));
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("PageLabel"));
    // As wide as the longest it can say, so that the buttons do not move as it counts.
    const QString widest(QString::number(report.pageCount()).size(), QLatin1Char('8'));
    pageLabel_->setMinimumWidth(
        pageLabel_->fontMetrics().horizontalAdvance(QStringLiteral("Стр. %1 из %1").arg(widest)));
    pageLabel_->setAlignment(Qt::AlignCenter);
    bar->addWidget(pageLabel_);
    button("Next", QStringLiteral(">"), [this] {
        goTo(currentPage() + 1);
    })->setToolTip(QStringLiteral("Следующая страница"));
    button("Last", QStringLiteral(">|"), [this] {
        goTo(pageCount());
    })->setToolTip(QStringLiteral("Последняя страница"));
    bar->addSpacing(12);
    button("ZoomIn", QStringLiteral("Крупнее"), [this] { view_->zoomIn(1.25); });
    button("ZoomOut", QStringLiteral("Мельче"), [this] { view_->zoomOut(1.25); });
    button("FitWidth", QStringLiteral("По ширине"), [this] { view_->fitToWidth(); });
    button("FitPage", QStringLiteral("Страница целиком"), [this] { view_->fitInView(); });
    bar->addSpacing(12);
    button("Print", QStringLiteral("Печать..."), &PreviewWindow::printWithDialog);
    button("SavePdf", QStringLiteral("Сохранить в PDF..."), &PreviewWindow::saveAsPdf);
    bar->addStretch();
    button("Close", QStringLiteral("Закрыть"), &QDialog::reject);
    root->addLayout(bar);
    root->addWidget(view_, 1);

    const QSize avail = screen() ? screen()->availableSize() : QSize(1024, 768);
    resize(std::min(900, avail.width()), std::min(1000, avail.height() - 40));
    view_->setFocus();
    updatePageLabel();
}

int PreviewWindow::currentPage() const
{
    return view_->currentPage();
}

int PreviewWindow::pageCount() const
{
    return view_->pageCount();
}

void PreviewWindow::goTo(int page)
{
    view_->setCurrentPage(std::clamp(page, 1, std::max(1, pageCount())));
    updatePageLabel();
}

void PreviewWindow::updatePageLabel()
{
    pageLabel_->setText(QStringLiteral("Стр. %1 из %2").arg(currentPage()).arg(pageCount()));
}

void PreviewWindow::printWithDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Печать"));
    dialog.setMinMax(1, std::max(1, pageCount()));
    if (dialog.exec() == QDialog::Accepted)
        report_.paint(&printer, printer.fromPage(), printer.toPage());
}

namespace {
// The folder of the last PDF saved in this session.
QString &lastPdfFolder()
{
    static QString folder = QDir::homePath();
    return folder;
}
} // namespace

QString PreviewWindow::proposedPdfPath() const
{
    QString name = report_.documentName().trimmed();
    if (name.isEmpty())
        name = QStringLiteral("Отчет");
    // Characters a file name cannot hold on the systems the files are handed to.
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|]"));
    name.replace(unsafe, QStringLiteral("_"));
    return QDir(lastPdfFolder()).filePath(name + QStringLiteral(".pdf"));
}

void PreviewWindow::saveAsPdf()
{
    // The dialog does not ask about replacing: the extension is added afterwards, and the
    // question is asked about the name that is really written.
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Сохранить в PDF"), proposedPdfPath(), QStringLiteral("PDF (*.pdf)"),
        nullptr, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        savePdfTo(path);
}

bool PreviewWindow::savePdfTo(QString path)
{
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QLatin1String(".pdf");
    const QFileInfo info(path);
    if (info.exists() && !ui::askYesNo(QStringLiteral("Файл %1 уже существует. Заменить его?")
                                           .arg(QDir::toNativeSeparators(path)),
                                       QStringLiteral("Сохранить в PDF")))
        return false;
    QString reason;
    if (!report_.writePdf(path, &reason)) {
        ui::showError(QStringLiteral("Не удалось записать файл %1: %2")
                          .arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    lastPdfFolder() = info.absolutePath();
    return true;
}

} // namespace report
