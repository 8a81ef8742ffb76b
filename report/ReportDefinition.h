#pragma once

#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace norvel::report {

class DataSet;

// A text with placeholders: {NAME} is a field of the current row (columns
// only), {#title}, {#date}, {#time}, {#page}, {#pages}, {#count} and
// {#sum:NAME} are the report's own values. "{{" and "}}" stand for braces.
struct TextTemplate {
    struct Part {
        enum Kind { Literal, Field, Title, Date, Time, Page, Pages, Count, Sum } kind = Literal;
        QString text; // the literal, or the field of Field and Sum
    };
    QList<Part> parts;

    // Nullopt and a reason when text is malformed or names an unknown value.
    static std::optional<TextTemplate> parse(const QString &text, QString *error);
    bool uses(Part::Kind kind) const;
};

// One text placed in a band, in millimetres from the band's top left corner
// (the left margin); width 0 runs to the right margin.
struct BandItem {
    enum Kind { Text, Line } kind = Text;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    Qt::Alignment align = Qt::AlignLeft;
    bool bold = false;
    double fontSize = 0; // points; 0 takes the report's
    int column = -1;     // when set, x and width are that column's, so a total lines up with its values
    TextTemplate text;
};

struct Band {
    double height = 0; // mm
    QList<BandItem> items;
};

enum class FieldFormat { Text, Date, Money };

struct Column {
    QString title;
    TextTemplate value;
    double x = 0; // from the left margin, the widths of the columns before it
    double width = 0;
    Qt::Alignment align = Qt::AlignLeft;
    FieldFormat format = FieldFormat::Text;
    bool wrap = false; // long texts go on to further lines instead of being elided
};

// A report file loaded and checked: the page, the bands and the columns.
// The bands follow each other down the page: title (first page only), page
// header, column headers, one detail row per data row, summary (after the
// last row), page footer (at the bottom of every page).
struct ReportDefinition {
    QString fileName;
    QString title;
    QPageSize::PageSizeId pageSize = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{10, 10, 10, 10}; // mm
    QString fontFamily = QStringLiteral("DejaVu Sans");
    double fontSize = 8;

    Band titleBand;
    Band pageHeader;
    double columnHeaderHeight = 6;
    double rowHeight = 4.2;
    QList<Column> columns;
    Band summary;
    Band pageFooter;

    QSizeF pageSizeMm() const;
    QPageLayout pageLayout() const; // margins zero: the engine places everything itself
    double contentWidthMm() const;
    // Every field of the data set the report reads, in first-use order.
    QStringList fields() const;
    // Fields whose amounts are summed ({#sum:NAME}).
    QStringList sumFields() const;
};

// Reads a report file. On failure, nullopt and a message that names the
// file, and the line for an error inside it. Sizes, counts and texts beyond
// what a page shows are refused, as is a file over 1 MiB.
std::optional<ReportDefinition> loadReport(const QString &path, QString *error);
// The same over a file's content; name stands for the file in messages.
std::optional<ReportDefinition> readReport(const QByteArray &content, const QString &name, QString *error);

// A text from a file or the data as a message names it: the first 60
// characters, then its length; invisible characters (controls, spaces other
// than the blank, a lone half of a surrogate pair) as "<U+00A0>".
QString shown(const QString &text);

// Empty when data has every field the report reads; otherwise the message
// naming the first missing field and the report file.
QString missingFieldError(const ReportDefinition &report, const DataSet &data);

} // namespace norvel::report
