#include "ReportWindows.h"

#include "DialogPresenter.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

namespace norvel::report {

OutputOptionsDialog::OutputOptionsDialog(const QList<FileFormat> &formats, QWidget *parent)
    : QDialog(parent), formats_(formats)
{
    setWindowTitle(QStringLiteral("Output Options"));
    setObjectName(QStringLiteral("OutputOptions"));
    auto *group = new QGroupBox(QStringLiteral("Report Destination"), this);
    rbPrinter_ = new QRadioButton(QStringLiteral("Printer"), group);
    rbPrinter_->setObjectName(QStringLiteral("rbPrinter"));
    rbPreview_ = new QRadioButton(QStringLiteral("Preview"), group);
    rbPreview_->setObjectName(QStringLiteral("rbPreview"));
    rbFile_ = new QRadioButton(QStringLiteral("File"), group);
    rbFile_->setObjectName(QStringLiteral("rbFile"));
    cbFormat_ = new QComboBox(group);
    cbFormat_->setObjectName(QStringLiteral("cbFormat"));
    for (FileFormat f : formats_)
        cbFormat_->addItem(fileFilter(f));
    auto *formatLabel = new QLabel(QStringLiteral("Format:"), group);
    formatLabel->setBuddy(cbFormat_);

    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(rbPrinter_);
    groupLayout->addWidget(rbPreview_);
    groupLayout->addWidget(rbFile_);
    auto *formatRow = new QHBoxLayout;
    formatRow->addSpacing(20);
    formatRow->addWidget(formatLabel);
    formatRow->addWidget(cbFormat_, 1);
    groupLayout->addLayout(formatRow);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);

    rbFile_->setEnabled(!formats_.isEmpty());
    rbPreview_->setChecked(true);
    connect(rbFile_, &QRadioButton::toggled, this, &OutputOptionsDialog::updateFormatEnabled);
    updateFormatEnabled();
    setMinimumWidth(360);
}

void OutputOptionsDialog::updateFormatEnabled() { cbFormat_->setEnabled(rbFile_->isChecked()); }

OutputOptionsDialog::Destination OutputOptionsDialog::destination() const
{
    if (rbPrinter_->isChecked())
        return Destination::Printer;
    if (rbFile_->isChecked() && !formats_.isEmpty())
        return Destination::File;
    return Destination::Preview;
}

void OutputOptionsDialog::setDestination(Destination destination)
{
    switch (destination) {
    case Destination::Printer:
        rbPrinter_->setChecked(true);
        break;
    case Destination::Preview:
        rbPreview_->setChecked(true);
        break;
    case Destination::File:
        rbFile_->setChecked(true);
        break;
    }
}

FileFormat OutputOptionsDialog::format() const
{
    const int i = cbFormat_->currentIndex();
    return i >= 0 && i < formats_.size() ? formats_[i] : FileFormat::Pdf;
}

bool OutputOptionsDialog::setFormat(FileFormat format)
{
    const qsizetype i = formats_.indexOf(format);
    if (i < 0)
        return false;
    cbFormat_->setCurrentIndex(int(i));
    return true;
}

ReportStatusWindow::ReportStatusWindow(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Report Status"));
    setObjectName(QStringLiteral("ReportStatus"));
    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    lblStatus_->setMinimumWidth(220);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btCancel"));
    connect(cancel, &QPushButton::clicked, this, &ReportStatusWindow::cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus_);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    // Closing the window is a cancel too.
    connect(this, &QDialog::rejected, this, &ReportStatusWindow::cancel);
    // Shown, not run: the events it lets through must not reach the window
    // that started the report.
    setWindowModality(Qt::ApplicationModal);
}

QString ReportStatusWindow::statusText() const { return lblStatus_->text(); }

bool ReportStatusWindow::pageDone(Stage stage, int page)
{
    const QString text =
        stage == Stage::Generating ? QStringLiteral("Generating page %p") : QStringLiteral("Printing page %p");
    lblStatus_->setText(QString(text).replace(QLatin1String("%p"), QString::number(page)));
    // Events every 50 ms keep the window live without slowing long runs.
    if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= 50) {
        QCoreApplication::processEvents();
        sinceEvents_.start();
    }
    return !cancelled_;
}

ReportPreviewDialog::ReportPreviewDialog(QPrinter &printer, Painter paint, QWidget *parent)
    : QDialog(parent), printer_(printer), paint_(std::move(paint))
{
    setWindowTitle(QStringLiteral("Report Preview"));
    setObjectName(QStringLiteral("ReportPreview"));
    preview_ = new QPrintPreviewWidget(&printer_, this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setViewMode(QPrintPreviewWidget::SinglePageView);
    preview_->setZoomMode(QPrintPreviewWidget::CustomZoom);
    preview_->setZoomFactor(1.0);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *p) {
        painted_ = paint_(*p, printing_);
    });

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("toolbar"));
    auto add = [&](const QString &name, const QString &text, auto slot) {
        QAction *a = bar->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(QStringLiteral("actFirst"), QStringLiteral("First"), [this] { goToPage(1); });
    add(QStringLiteral("actPrevious"), QStringLiteral("Previous"), [this] { goToPage(preview_->currentPage() - 1); });
    sbPage_ = new QSpinBox(bar);
    sbPage_->setObjectName(QStringLiteral("sbPage"));
    sbPage_->setKeyboardTracking(false);
    bar->addWidget(new QLabel(QStringLiteral(" Page "), bar));
    bar->addWidget(sbPage_);
    lblPages_ = new QLabel(bar);
    lblPages_->setObjectName(QStringLiteral("lblPages"));
    bar->addWidget(lblPages_);
    add(QStringLiteral("actNext"), QStringLiteral("Next"), [this] { goToPage(preview_->currentPage() + 1); });
    add(QStringLiteral("actLast"), QStringLiteral("Last"), [this] { goToPage(pageCount()); });
    bar->addSeparator();
    add(QStringLiteral("actZoom100"), QStringLiteral("100 %"), [this] {
        preview_->setZoomMode(QPrintPreviewWidget::CustomZoom);
        preview_->setZoomFactor(1.0);
    });
    add(QStringLiteral("actFitWidth"), QStringLiteral("Page Width"), [this] { preview_->fitToWidth(); });
    bar->addSeparator();
    add(QStringLiteral("actPrint"), QStringLiteral("Print..."), [this] { printReport(); });
    add(QStringLiteral("actClose"), QStringLiteral("Close"), [this] { accept(); });
    connect(sbPage_, &QSpinBox::valueChanged, this, [this](int page) { goToPage(page); });
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, &ReportPreviewDialog::updateNavigation);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(preview_, 1);
    // A landscape A4 page at full size, or the whole screen when that is smaller.
    QSize size(1180, 860);
    if (const QScreen *s = screen())
        size = size.boundedTo(s->availableGeometry().size() * 0.95);
    resize(size);
}

bool ReportPreviewDialog::generate()
{
    preview_->updatePreview();
    updateNavigation();
    return painted_;
}

int ReportPreviewDialog::pageCount() const { return preview_->pageCount(); }

void ReportPreviewDialog::goToPage(int page)
{
    if (pageCount() == 0)
        return;
    preview_->setCurrentPage(std::clamp(page, 1, pageCount()));
    updateNavigation();
}

void ReportPreviewDialog::updateNavigation()
{
    const QSignalBlocker block(sbPage_);
    sbPage_->setRange(pageCount() > 0 ? 1 : 0, pageCount());
    sbPage_->setValue(preview_->currentPage());
    lblPages_->setText(QStringLiteral(" of %1 ").arg(pageCount()));
}

void ReportPreviewDialog::printReport()
{
    if (!dialogs().choosePrinter(printer_))
        return;
    printing_ = true;
    preview_->print();
    printing_ = false;
}

} // namespace norvel::report
