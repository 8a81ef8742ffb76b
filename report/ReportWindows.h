#pragma once

#include "ReportEngine.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QRadioButton;
class QSpinBox;

namespace norvel::report {

// "Output Options": printer, preview, or a file in one of the formats the
// caller offers. Shown through dialogs().runModal().
class OutputOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    enum class Destination { Printer, Preview, File };

    explicit OutputOptionsDialog(const QList<FileFormat> &formats, QWidget *parent = nullptr);

    Destination destination() const;
    void setDestination(Destination destination);
    FileFormat format() const;
    // Selects format when it is offered; false otherwise.
    bool setFormat(FileFormat format);
    const QList<FileFormat> &formats() const { return formats_; }

private:
    void updateFormatEnabled();

    QList<FileFormat> formats_;
    QRadioButton *rbPrinter_;
    QRadioButton *rbPreview_;
    QRadioButton *rbFile_;
    QComboBox *cbFormat_;
};

// "Report Status": a window left open while pages are laid out and painted,
// with a Cancel button. Not modal: it keeps events flowing itself.
class ReportStatusWindow final : public QDialog, public Progress {
    Q_OBJECT
public:
    explicit ReportStatusWindow(QWidget *parent = nullptr);

    bool pageDone(Stage stage, int page) override;
    // What a click on Cancel does; tests call it from inside a run.
    void cancel() { cancelled_ = true; }
    bool isCancelled() const { return cancelled_; }
    QString statusText() const;

private:
    QLabel *lblStatus_;
    QElapsedTimer sinceEvents_;
    bool cancelled_ = false;
};

// "Report Preview": the pages at 100 %, page by page, with printing.
// paint is called with the printer to paint on (preview or real printing)
// and whether it is the real printing.
class ReportPreviewDialog final : public QDialog {
    Q_OBJECT
public:
    using Painter = std::function<bool(QPrinter &printer, bool printing)>;

    ReportPreviewDialog(QPrinter &printer, Painter paint, QWidget *parent = nullptr);

    QPrintPreviewWidget *preview() const { return preview_; }
    // Lays the pages out at once; false when painting failed.
    bool generate();
    int pageCount() const;
    void goToPage(int page);
    // The print button: the print dialog through the seam, then printing.
    void printReport();

private:
    void updateNavigation();

    QPrinter &printer_;
    Painter paint_;
    QPrintPreviewWidget *preview_;
    QSpinBox *sbPage_;
    QLabel *lblPages_;
    bool painted_ = true;
    bool printing_ = false;
};

} // namespace norvel::report
