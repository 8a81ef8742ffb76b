#pragma once

#include "ReportDefinition.h"

#include "Money.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

class QPagedPaintDevice;
class QPainter;

namespace norvel::report {

class DataSet;

enum class FileFormat { Pdf, Html, Text };

// "Adobe Acrobat (PDF) (*.pdf)", as a file dialog takes it.
QString fileFilter(FileFormat format);
// The format's label without the pattern ("Adobe Acrobat (PDF)").
QString formatLabel(FileFormat format);
// The suffix a file name gets when the user typed none ("pdf").
QString defaultSuffix(FileFormat format);

// Told of every page as it is laid out or painted; answering false cancels.
class Progress {
public:
    enum class Stage { Generating, Printing };
    virtual ~Progress() = default;
    virtual bool pageDone(Stage stage, int page) = 0;
};

// The rows of one page: [first, end), and whether the summary closes it.
struct PageRows {
    int first = 0;
    int end = 0;
    bool summary = false;
};

// Pages decided in one pass over the data: the row range of each page and
// the totals. Painting a page recomputes its row heights with the same
// measures, so no page is held as a picture.
struct Layout {
    QList<PageRows> pages;
    int rows = 0;
    QHash<QString, Money> sums;
};

// Runs one report over one data set. One walk orders the bands and rows of
// every page and each output (painter, HTML, plain text) receives it; the
// painted ones (printer, preview, PDF) lay out on the device they paint on,
// measuring text with that device's metrics.
class ReportEngine {
public:
    ReportEngine(const ReportDefinition &report, DataSet &data);
    ~ReportEngine();

    // The moment shown as the print date; the current time, unless a test fixes it.
    void setPrinted(const QDateTime &printed) { printed_ = printed; }
    void setProgress(Progress *progress) { progress_ = progress; }

    // Pages from and to (1-based, inclusive; 0 for no bound) on a device
    // whose painting has not begun. False on an error or a cancel.
    bool print(QPagedPaintDevice &device, int fromPage = 0, int toPage = 0);
    bool writeFile(FileFormat format, const QString &path);
    bool writePdf(const QString &path);
    bool writeHtml(const QString &path);
    bool writeText(const QString &path);

    // After an output: its pages (1 for HTML), rows and sums.
    const Layout &layout() const { return layout_; }
    // Empty after a cancel.
    const QString &errorString() const { return error_; }
    bool cancelled() const { return cancelled_; }

    // Plain-text page: 10 characters and 6 lines per inch.
    static constexpr double MmPerChar = 25.4 / 10;
    static constexpr double MmPerLine = 25.4 / 6;

    class Metrics;
    class Sink;

private:
    bool layOut(const Metrics *metrics);
    // The bands above a page's rows, told to sink; the height where the rows start.
    double head(const Metrics *metrics, int page, Sink *sink) const;
    // Where the page footer starts.
    double foot(const Metrics *metrics) const;
    // Pages first to last, band by band, to sink.
    bool walk(const Metrics *metrics, Sink &sink, int first, int last);
    bool rowAvailable(int row);
    std::optional<QString> cell(const Column &column, int row);
    QString fieldText(const QString &field, FieldFormat format, int row);
    // The amount of a field; nullopt after failing with a message naming it.
    std::optional<Money> amount(const QString &field, int row);
    QString expand(const TextTemplate &text, int page) const;
    bool reportPage(Progress::Stage stage, int page);
    bool paintPages(QPagedPaintDevice &device, QPainter &painter, int fromPage, int toPage);
    void fail(const QString &text);

    const ReportDefinition &report_;
    DataSet &data_;
    QDateTime printed_;
    Progress *progress_ = nullptr;
    Layout layout_;
    QString error_;
    bool cancelled_ = false;
    QStringList sumFields_;
};

} // namespace norvel::report
