#include "ReportEngine.h"

#include "ReportDataSet.h"
#include "TituloPrograma.h"

#include <QFile>
#include <QFontMetricsF>
#include <QMap>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace norvel::report {

namespace {

using Part = TextTemplate::Part;

const QDate zeroDate(1899, 12, 30); // a stored date that means "not printed"

// Greedy word wrap; a word longer than the width is cut where it must be.
QStringList wrapText(const QString &text, double width, const std::function<double(const QString &)> &measure)
{
    if (text.isEmpty() || measure(text) <= width)
        return {text};
    QStringList lines;
    QString current;
    for (QString word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString candidate = current.isEmpty() ? word : current + u' ' + word;
        if (measure(candidate) <= width) {
            current = candidate;
            continue;
        }
        if (!current.isEmpty())
            lines.append(current);
        while (word.size() > 1 && measure(word) > width) {
            qsizetype fit = 1;
            while (fit + 1 < word.size() && measure(word.left(fit + 1)) <= width)
                ++fit;
            if (word.at(fit - 1).isHighSurrogate()) // a character is never split
                fit += fit == 1 ? 1 : -1;
            lines.append(word.left(fit));
            word = word.mid(fit);
        }
        current = word;
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines.isEmpty() ? QStringList{QString()} : lines;
}

QFont reportFont(const ReportDefinition &report, double size = 0, bool bold = false)
{
    QFont font(report.fontFamily);
    font.setPointSizeF(size > 0 ? size : report.fontSize);
    font.setBold(bold);
    font.setKerning(false); // measured and painted advances then agree on every device
    return font;
}

// The widest texts an amount or a date column shows.
const QString widestAmount = Money::fromCentavos(Money::MaxUnits / Money::UnitsPerCentavo).toText();
const QString widestDate = QStringLiteral("00/00/0000");

// The columns as one output places them. A column of amounts or dates is
// widened to what its widest value needs (in mm), so no number is ever cut;
// the widest text columns give the room, down to a common width but not
// below least mm, and their texts wrap or are shortened instead.
QList<Column> fitColumns(const ReportDefinition &report, const std::function<double(const QString &)> &need,
                         double least)
{
    QList<Column> columns = report.columns;
    bool widened = false;
    double total = 0;
    std::vector<double> texts;
    for (Column &c : columns) {
        if (c.format == FieldFormat::Text) {
            texts.push_back(c.width);
        } else {
            const double w = need(c.format == FieldFormat::Money ? widestAmount : widestDate);
            widened = widened || w > c.width;
            c.width = std::max(c.width, w);
        }
        total += c.width;
    }
    if (!widened)
        return columns;
    const double excess = total - report.contentWidthMm();
    if (excess > 0) {
        std::sort(texts.begin(), texts.end(), std::greater<>());
        double level = least;
        double sum = 0;
        for (size_t k = 0; k < texts.size(); ++k) {
            sum += texts[k];
            const double cut = (sum - excess) / double(k + 1);
            if (cut >= (k + 1 < texts.size() ? texts[k + 1] : 0)) {
                level = std::max(least, cut);
                break;
            }
        }
        for (Column &c : columns)
            if (c.format == FieldFormat::Text)
                c.width = std::min(c.width, level);
    }
    double x = 0;
    for (Column &c : columns) {
        c.x = x;
        x += c.width;
    }
    return columns;
}

} // namespace

namespace {

struct FormatNames {
    const char *label;
    const char *patterns;
    const char *suffix;
};

// In the order of FileFormat.
const FormatNames &names(FileFormat format)
{
    static const FormatNames table[] = {
        {"Adobe Acrobat (PDF)", "*.pdf", "pdf"},
        {"Web Page (HTML)", "*.html *.htm", "html"},
        {"Plain Text (TXT)", "*.txt", "txt"},
    };
    return table[static_cast<int>(format)];
}

} // namespace

QString formatLabel(FileFormat format)
{
    return QString::fromUtf8(names(format).label);
}

QString fileFilter(FileFormat format)
{
    return QStringLiteral("%1 (%2)").arg(formatLabel(format), QString::fromUtf8(names(format).patterns));
}

QString defaultSuffix(FileFormat format)
{
    return QString::fromUtf8(names(format).suffix);
}

// Heights in the unit of one output: device pixels or plain-text lines.
class ReportEngine::Metrics {
public:
    virtual ~Metrics() = default;
    virtual double pageTop() const = 0;
    virtual double pageBottom() const = 0;
    virtual double bandHeight(const Band &band) const = 0;
    virtual double headerHeight() const = 0;
    virtual double rowHeight(const QStringList &cells) const = 0;
    // The report's columns as this output places them.
    const QList<Column> &columns() const { return columns_; }

protected:
    QList<Column> columns_;
};

namespace {

// Text widths measured once: statuses, dates and names repeat on every
// page, and shaping a text costs as much as painting it.
class Advances {
public:
    explicit Advances(const QFontMetricsF &fm) : fm_(fm) {}
    // A copy would fill a cache of its own and throw it away.
    Advances(const Advances &) = delete;
    Advances &operator=(const Advances &) = delete;
    double operator()(const QString &text) const
    {
        const auto it = cache_.constFind(text);
        if (it != cache_.cend())
            return *it;
        if (cache_.size() >= 50000)
            cache_.clear(); // bounded: a report of 100,000 unique payees must not keep them all
        const double w = fm_.horizontalAdvance(text);
        cache_.insert(text, w);
        return w;
    }
    const QFontMetricsF &fm() const { return fm_; }

private:
    const QFontMetricsF &fm_;
    mutable QHash<QString, double> cache_;
};

class PaintMetrics final : public ReportEngine::Metrics {
public:
    PaintMetrics(const ReportDefinition &report, QPaintDevice &device)
        : report_(report), sx_(device.logicalDpiX() / 25.4), sy_(device.logicalDpiY() / 25.4),
          deviceHeight_(device.height()), body_(reportFont(report)), bold_(reportFont(report, 0, true)),
          fm_(body_, &device), boldFm_(bold_, &device), advance_(fm_), boldAdvance_(boldFm_), pad_(0.8 * sx_)
    {
        // Digits of the widest advance, so that any amount or date fits.
        QChar digit = u'0';
        for (char16_t d = u'1'; d <= u'9'; ++d)
            if (fm_.horizontalAdvance(QChar(d)) > fm_.horizontalAdvance(digit))
                digit = QChar(d);
        columns_ = fitColumns(
            report,
            [&](const QString &widest) {
                return (fm_.horizontalAdvance(QString(widest).replace(u'0', digit).replace(u'9', digit)) + 2 * pad_) / sx_;
            },
            2 * ReportEngine::MmPerChar);
        for (const Column &c : columns_)
            titleLines_ = std::max<int>(titleLines_, wrap(boldAdvance_, c.title, c).size());
    }

    double pageTop() const override { return report_.margins.top() * sy_; }
    double pageBottom() const override { return deviceHeight_ - report_.margins.bottom() * sy_; }
    double bandHeight(const Band &band) const override { return band.height * sy_; }
    double headerHeight() const override
    {
        return std::max(report_.columnHeaderHeight * sy_, titleLines_ * boldFm_.lineSpacing() + 2 * pad_);
    }
    double rowHeight(const QStringList &cells) const override
    {
        int lines = 1;
        for (qsizetype i = 0; i < cells.size(); ++i)
            if (columns_[i].wrap)
                lines = std::max<int>(lines, wrap(advance_, cells[i], columns_[i]).size());
        return baseRow() + (lines - 1) * fm_.lineSpacing();
    }

    double baseRow() const { return report_.rowHeight * sy_; }
    double x(double mm) const { return (report_.margins.left() + mm) * sx_; }
    double mmX(double mm) const { return mm * sx_; }
    double mmY(double mm) const { return mm * sy_; }
    double contentWidth() const { return report_.contentWidthMm() * sx_; }
    double textWidth(const Column &c) const { return c.width * sx_ - 2 * pad_; }
    double pad() const { return pad_; }
    const QFont &body() const { return body_; }
    const QFont &bold() const { return bold_; }
    const QFontMetricsF &fm() const { return fm_; }
    const QFontMetricsF &boldFm() const { return boldFm_; }
    const Advances &advance() const { return advance_; }
    const Advances &boldAdvance() const { return boldAdvance_; }

    QStringList wrap(const Advances &advance, const QString &text, const Column &c) const
    {
        return wrapText(text, textWidth(c), [&advance](const QString &s) { return advance(s); });
    }

private:
    const ReportDefinition &report_;
    double sx_;
    double sy_;
    double deviceHeight_;
    QFont body_;
    QFont bold_;
    QFontMetricsF fm_;
    QFontMetricsF boldFm_;
    Advances advance_;
    Advances boldAdvance_;
    double pad_;
    int titleLines_ = 1;
};

class TextMetrics final : public ReportEngine::Metrics {
public:
    explicit TextMetrics(const ReportDefinition &report) : report_(report)
    {
        const QSizeF page = report.pageSizeMm();
        pageLines_ = int(page.height() / ReportEngine::MmPerLine);
        pageChars_ = int(page.width() / ReportEngine::MmPerChar);
        // A number's characters and the blank after them.
        columns_ = fitColumns(
            report, [](const QString &widest) { return (widest.size() + 1) * ReportEngine::MmPerChar; },
            2 * ReportEngine::MmPerChar);
        for (const Column &c : columns_)
            titleLines_ = std::max<int>(titleLines_, wrap(c.title, c).size());
    }

    static int lines(double mm) { return int(std::lround(mm / ReportEngine::MmPerLine)); }
    int chars(double mmFromMargin) const
    {
        return int(std::lround((report_.margins.left() + mmFromMargin) / ReportEngine::MmPerChar));
    }

    double pageTop() const override { return lines(report_.margins.top()); }
    double pageBottom() const override { return pageLines_ - lines(report_.margins.bottom()); }
    double bandHeight(const Band &band) const override
    {
        return band.height > 0 ? std::max(1, lines(band.height)) : 0;
    }
    // The titles, then a rule of dashes under each column.
    double headerHeight() const override { return std::max(lines(report_.columnHeaderHeight), titleLines_ + 1); }
    double rowHeight(const QStringList &cells) const override
    {
        int n = std::max(1, lines(report_.rowHeight));
        for (qsizetype i = 0; i < cells.size(); ++i)
            if (columns_[i].wrap)
                n = std::max<int>(n, wrap(cells[i], columns_[i]).size());
        return n;
    }

    int columnStart(const Column &c) const { return chars(c.x); }
    // One blank keeps neighbouring columns apart.
    int columnChars(const Column &c) const { return std::max(1, chars(c.x + c.width) - chars(c.x) - 1); }
    QStringList wrap(const QString &text, const Column &c) const
    {
        return wrapText(text, columnChars(c), [](const QString &s) { return double(s.size()); });
    }
    int pageLines() const { return pageLines_; }
    int pageChars() const { return pageChars_; }

private:
    const ReportDefinition &report_;
    int pageLines_ = 0;
    int pageChars_ = 0;
    int titleLines_ = 1;
};

// One plain-text page as a grid of characters.
class TextPage {
public:
    explicit TextPage(int lines) : lines_(lines) {}

    // A text cell is cut at its width; a number and a band's text (a
    // total) run over instead, to the left when right-aligned.
    void put(int line, int col, int width, const QString &text, Qt::Alignment align, bool clip = true)
    {
        if (line < 0 || line >= lines_.size() || width <= 0)
            return;
        QString t = clip ? text.left(width) : text;
        if (t.size() < text.size() && t.back().isHighSurrogate())
            t.chop(1); // a character is never split
        int at = col;
        if (align & Qt::AlignRight)
            at = col + width - int(t.size());
        else if (align & Qt::AlignHCenter)
            at = col + (width - int(t.size())) / 2;
        at = std::max(0, at);
        QString &l = lines_[line];
        if (l.size() < at + t.size())
            l = l.leftJustified(at + t.size(), u' ');
        l.replace(at, t.size(), t);
    }

    QString text() const
    {
        qsizetype last = lines_.size();
        while (last > 0 && lines_[last - 1].trimmed().isEmpty())
            --last;
        QString out;
        for (qsizetype i = 0; i < last; ++i) {
            QString l = lines_[i];
            while (l.endsWith(u' '))
                l.chop(1);
            out += l;
            out += u'\n';
        }
        return out;
    }

private:
    QStringList lines_;
};

// A file written as the output goes, so that memory holds a page and not
// the report; nothing is left at the path unless it is committed.
class OutputFile {
public:
    explicit OutputFile(const QString &path) : file_(path) { ok_ = file_.open(QIODevice::WriteOnly); }
    void write(const QString &text)
    {
        if (ok_)
            ok_ = file_.write(text.toUtf8()) >= 0;
    }
    // Empty when the whole file was written and is in place.
    QString commit()
    {
        if (ok_ && file_.commit())
            return {};
        return QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.").arg(file_.fileName(), file_.errorString());
    }

private:
    QSaveFile file_;
    bool ok_ = false;
};

QString htmlAlign(Qt::Alignment align)
{
    if (align & Qt::AlignRight)
        return QStringLiteral("right");
    if (align & Qt::AlignHCenter)
        return QStringLiteral("center");
    return QStringLiteral("left");
}

} // namespace

ReportEngine::ReportEngine(const ReportDefinition &report, DataSet &data)
    : report_(report), data_(data), printed_(QDateTime::currentDateTime()), sumFields_(report.sumFields())
{
}

ReportEngine::~ReportEngine() = default;

void ReportEngine::fail(const QString &text) { error_ = text; }

bool ReportEngine::reportPage(Progress::Stage stage, int page)
{
    if (progress_ && !progress_->pageDone(stage, page)) {
        cancelled_ = true;
        error_.clear();
        return false;
    }
    return true;
}

bool ReportEngine::rowAvailable(int row)
{
    while (row >= data_.rowCount()) {
        if (!data_.canFetchMore())
            return false;
        const int before = data_.rowCount();
        data_.fetchMore();
        if (data_.rowCount() == before)
            return false; // a model that offers more but gives nothing would loop forever
    }
    return true;
}

QString ReportEngine::fieldText(const QString &field, FieldFormat format, int row)
{
    const QVariant v = data_.value(row, field);
    if (!v.isValid() || v.isNull())
        return {};
    switch (format) {
    case FieldFormat::Date: {
        const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
        if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime)
            return d.isValid() && d != zeroDate ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
        return v.toString().trimmed();
    }
    case FieldFormat::Money: {
        const std::optional<Money> m = amount(field, row);
        return m ? m->toText() : QString();
    }
    case FieldFormat::Text:
        break;
    }
    QString text = v.toString();
    text.replace(u'\n', u' ').replace(u'\r', u' ').replace(u'\t', u' ');
    return text;
}

std::optional<QString> ReportEngine::cell(const Column &column, int row)
{
    QString out;
    for (const Part &p : column.value.parts) {
        if (p.kind == Part::Field) {
            out += fieldText(p.text, column.format, row);
            if (!error_.isEmpty())
                return std::nullopt;
        } else {
            out += p.text;
        }
    }
    return out;
}

std::optional<Money> ReportEngine::amount(const QString &field, int row)
{
    const QString text = data_.value(row, field).toString();
    const std::optional<Money> m = Money::parse(text);
    if (!m)
        fail(QStringLiteral("Relatório \"%1\": o valor \"%2\" do campo %3 na linha %4 dos dados não é um valor em reais.")
                 .arg(report_.fileName, shown(text), shown(field))
                 .arg(row + 1));
    return m;
}

QString ReportEngine::expand(const TextTemplate &text, int page) const
{
    QString out;
    for (const Part &p : text.parts) {
        switch (p.kind) {
        case Part::Literal:
            out += p.text;
            break;
        case Part::Field:
            break;
        case Part::Title:
            out += report_.title;
            break;
        case Part::Date:
            out += printed_.date().toString(QStringLiteral("dd/MM/yyyy"));
            break;
        case Part::Time:
            out += printed_.time().toString(QStringLiteral("HH:mm"));
            break;
        case Part::Page:
            out += QString::number(page);
            break;
        case Part::Pages:
            out += QString::number(layout_.pages.size());
            break;
        case Part::Count:
            out += QString::number(layout_.rows); // no thousands separator, as the amounts
            break;
        case Part::Sum:
            out += layout_.sums.value(p.text).toText();
            break;
        }
    }
    return out;
}

// Told of one page's bands in the order the page shows them, each at the
// height where it starts, in the unit of the output's metrics (0 for an
// output without pages).
class ReportEngine::Sink {
public:
    enum class Kind { Title, PageHeader, Summary, PageFooter };
    virtual ~Sink() = default;
    // False stops the output, its message given.
    virtual bool beginPage(int) { return true; }
    virtual void band(Kind kind, const Band &band, double top, int page) = 0;
    virtual void columnHeader(double top, double height) = 0;
    virtual void row(const QStringList &cells, double top) = 0;
    virtual void endPage(int page) = 0;
};

// The one place that knows the order of the bands: title (first page only),
// page header and column header from the top of the page, then the rows;
// the summary after the last row, the page footer at the foot of the page.
// Without a sink it only measures where a page's rows start.
double ReportEngine::head(const Metrics *metrics, int page, Sink *sink) const
{
    double y = metrics ? metrics->pageTop() : 0;
    auto band = [&](Sink::Kind kind, const Band &b) {
        if (sink)
            sink->band(kind, b, y, page);
        if (metrics)
            y += metrics->bandHeight(b);
    };
    if (page == 1)
        band(Sink::Kind::Title, report_.titleBand);
    band(Sink::Kind::PageHeader, report_.pageHeader);
    const double header = metrics ? metrics->headerHeight() : 0;
    if (sink)
        sink->columnHeader(y, header);
    return y + header;
}

double ReportEngine::foot(const Metrics *metrics) const
{
    return metrics ? metrics->pageBottom() - metrics->bandHeight(report_.pageFooter) : 0;
}

bool ReportEngine::walk(const Metrics *metrics, Sink &sink, int first, int last)
{
    QStringList cells;
    for (int n = first; n <= last; ++n) {
        if (!sink.beginPage(n))
            return false;
        const PageRows &page = layout_.pages[n - 1];
        double y = head(metrics, n, &sink);
        for (int row = page.first; row < page.end; ++row) {
            cells.clear();
            for (const Column &c : report_.columns)
                cells.append(cell(c, row).value_or(QString()));
            sink.row(cells, y);
            if (metrics)
                y += metrics->rowHeight(cells);
        }
        if (page.summary)
            sink.band(Sink::Kind::Summary, report_.summary, y, n);
        sink.band(Sink::Kind::PageFooter, report_.pageFooter, foot(metrics), n);
        sink.endPage(n);
        if (!reportPage(Progress::Stage::Printing, n))
            return false;
    }
    return true;
}

bool ReportEngine::layOut(const Metrics *metrics)
{
    layout_ = Layout();
    error_.clear();
    cancelled_ = false;
    for (const QString &f : sumFields_)
        layout_.sums.insert(f, Money());

    double y = 0;
    const double bottom = foot(metrics);
    auto startPage = [&](int row) {
        layout_.pages.append({row, row, false});
        const int n = int(layout_.pages.size());
        y = head(metrics, n, nullptr);
        return reportPage(Progress::Stage::Generating, n);
    };
    const double room = bottom - head(metrics, 2, nullptr); // for rows on a page without the title
    if (metrics) {
        if (head(metrics, 1, nullptr) + metrics->rowHeight({}) > bottom) {
            fail(QStringLiteral("Relatório \"%1\": as faixas de cabeçalho e rodapé não deixam espaço para os dados na página.")
                     .arg(report_.fileName));
            return false;
        }
        if (metrics->bandHeight(report_.summary) > room) {
            fail(QStringLiteral("Relatório \"%1\": a faixa de resumo não cabe numa página com os cabeçalhos e o rodapé.")
                     .arg(report_.fileName));
            return false;
        }
    }
    if (!startPage(0))
        return false;
    QStringList cells;
    int row = 0;
    for (; rowAvailable(row); ++row) {
        cells.clear();
        for (const Column &c : report_.columns) {
            const auto text = cell(c, row);
            if (!text)
                return false;
            cells.append(*text);
        }
        for (const QString &f : sumFields_) {
            const std::optional<Money> m = amount(f, row);
            if (!m)
                return false;
            const std::optional<Money> total = layout_.sums[f].plus(*m);
            if (!total) {
                fail(QStringLiteral("Relatório \"%1\": a soma do campo %2 passa do maior valor que o programa calcula.")
                         .arg(report_.fileName, f));
                return false;
            }
            layout_.sums[f] = *total;
        }
        if (metrics) {
            // A row is never cut: one taller than a page stops the report.
            const double h = metrics->rowHeight(cells);
            if (h > room) {
                fail(QStringLiteral("Relatório \"%1\": a linha %2 dos dados é mais alta que uma página; os textos dela são longos "
                                    "demais para as colunas.")
                         .arg(report_.fileName)
                         .arg(row + 1));
                return false;
            }
            if (y + h > bottom && !startPage(row))
                return false;
            y += h;
        }
        layout_.pages.last().end = row + 1;
    }
    layout_.rows = row;
    if (metrics && y + metrics->bandHeight(report_.summary) > bottom && !startPage(row))
        return false;
    layout_.pages.last().summary = true;
    return true;
}

bool ReportEngine::paintPages(QPagedPaintDevice &device, QPainter &painter, int fromPage, int toPage)
{
    const PaintMetrics m(report_, device);
    if (!layOut(&m))
        return false;

    class Painter final : public Sink {
    public:
        Painter(ReportEngine &engine, const PaintMetrics &m, QPagedPaintDevice &device, QPainter &painter, int first)
            : engine_(engine), m_(m), device_(device), painter_(painter), first_(first),
              topPad_(std::max(0.0, (m.baseRow() - m.fm().lineSpacing()) / 2))
        {
            rule_.setWidthF(m.mmY(0.25));
        }

        bool beginPage(int page) override
        {
            if (page > first_ && !device_.newPage()) {
                engine_.fail(QStringLiteral("Não foi possível começar uma nova página."));
                return false;
            }
            return true;
        }

        void band(Kind, const Band &band, double top, int page) override
        {
            for (const BandItem &item : band.items) {
                double x = m_.x(item.x);
                double w = item.width > 0 ? m_.mmX(item.width) : m_.contentWidth() - m_.mmX(item.x);
                if (item.column >= 0) {
                    const Column &c = m_.columns()[item.column];
                    x = m_.x(c.x) + m_.pad();
                    w = m_.textWidth(c);
                }
                const double y = top + m_.mmY(item.y);
                if (item.kind == BandItem::Line) {
                    painter_.setPen(rule_);
                    painter_.drawLine(QPointF(x, y), QPointF(x + w, y));
                    continue;
                }
                const QFont font = reportFont(engine_.report_, item.fontSize, item.bold);
                const QFontMetricsF fm(font, &device_);
                const QString text = engine_.expand(item.text, page);
                const double advance = fm.horizontalAdvance(text);
                double tx = x;
                if (item.align & Qt::AlignRight)
                    tx = x + w - advance;
                else if (item.align & Qt::AlignHCenter)
                    tx = x + (w - advance) / 2;
                const double h = item.height > 0 ? m_.mmY(item.height) : fm.lineSpacing();
                painter_.setFont(font);
                painter_.setPen(Qt::black);
                painter_.drawText(QPointF(tx, y + std::max(0.0, (h - fm.lineSpacing()) / 2) + fm.ascent()), text);
            }
        }

        void columnHeader(double y, double header) override
        {
            painter_.setFont(m_.bold());
            painter_.setPen(Qt::black);
            for (const Column &c : m_.columns()) {
                const QStringList lines = m_.wrap(m_.boldAdvance(), c.title, c);
                // Titles sit on the rule, so one-line titles line up with the last line of longer ones.
                const double top = y + header - m_.pad() - lines.size() * m_.boldFm().lineSpacing();
                paintLines(lines, c, top, m_.boldAdvance());
            }
            painter_.setPen(rule_);
            painter_.drawLine(QPointF(m_.x(0), y + header), QPointF(m_.x(0) + m_.contentWidth(), y + header));
            painter_.setFont(m_.body());
            painter_.setPen(Qt::black);
        }

        void row(const QStringList &cells, double y) override
        {
            for (qsizetype i = 0; i < cells.size(); ++i) {
                const Column &c = m_.columns()[i];
                paintLines(c.wrap ? m_.wrap(m_.advance(), cells[i], c) : QStringList{cells[i]}, c, y + topPad_,
                           m_.advance());
            }
        }

        void endPage(int) override {}

    private:
        void paintLines(const QStringList &lines, const Column &c, double top, const Advances &advance)
        {
            const QFontMetricsF &fm = advance.fm();
            const double x = m_.x(c.x) + m_.pad();
            const double w = m_.textWidth(c);
            double baseline = top + fm.ascent();
            for (QString line : lines) {
                if (line.isEmpty()) {
                    baseline += fm.lineSpacing();
                    continue;
                }
                double width = advance(line);
                if (!c.wrap && c.format == FieldFormat::Text && width > w) {
                    line = fm.elidedText(line, Qt::ElideRight, w);
                    width = advance(line);
                }
                double tx = x;
                if (c.align & Qt::AlignRight)
                    tx = x + w - width;
                else if (c.align & Qt::AlignHCenter)
                    tx = x + (w - width) / 2;
                painter_.drawText(QPointF(tx, baseline), line);
                baseline += fm.lineSpacing();
            }
        }

        ReportEngine &engine_;
        const PaintMetrics &m_;
        QPagedPaintDevice &device_;
        QPainter &painter_;
        const int first_;
        const double topPad_;
        QPen rule_{Qt::black};
    };

    const int pageCount = int(layout_.pages.size());
    const int first = fromPage > 0 ? std::min(fromPage, pageCount) : 1;
    const int last = toPage > 0 ? std::min(toPage, pageCount) : pageCount;
    Painter sink(*this, m, device, painter, first);
    return walk(&m, sink, first, last);
}

bool ReportEngine::print(QPagedPaintDevice &device, int fromPage, int toPage)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        fail(QStringLiteral("Não foi possível começar a impressão do relatório."));
        return false;
    }
    const bool ok = paintPages(device, painter, fromPage, toPage);
    painter.end();
    return ok;
}

bool ReportEngine::writePdf(const QString &path)
{
    bool ok = false;
    {
        QPdfWriter writer(path);
        writer.setPageLayout(report_.pageLayout());
        writer.setCreator(TituloPrograma);
        writer.setTitle(report_.title);
        QPainter painter;
        if (!painter.begin(&writer)) {
            fail(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(path));
            return false;
        }
        ok = paintPages(writer, painter, 0, 0);
        painter.end();
    }
    if (!ok)
        QFile::remove(path);
    return ok;
}

bool ReportEngine::writeHtml(const QString &path)
{
    if (!layOut(nullptr))
        return false;

    class HtmlWriter final : public Sink {
    public:
        HtmlWriter(ReportEngine &engine, const QString &path) : engine_(engine), report_(engine.report_), out_(path) {}

        bool beginPage(int) override
        {
            html_ += QStringLiteral("<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n")
                         .arg(escaped(report_.title));
            html_ += QStringLiteral(
                "<style>\n"
                "body{font-family:\"%1\",Verdana,sans-serif;font-size:10pt;margin:1.5em}\n"
                "div{display:flex;align-items:baseline;margin:.3em 0}\n"
                "div span{flex:1}\n"
                "table{border-collapse:collapse;margin:.8em 0;width:100%}\n"
                "th,td{padding:.15em .5em;border-bottom:1px solid #ccc;vertical-align:top;text-align:left}\n"
                "th{border-bottom:2px solid #000}\n"
                "tfoot td{font-weight:bold;border-top:2px solid #000;border-bottom:none}\n"
                "</style>\n</head>\n<body>\n")
                         .arg(report_.fontFamily);
            return true;
        }

        void band(Kind kind, const Band &band, double, int) override
        {
            switch (kind) {
            case Kind::Title:
                html_ += bandHtml(band, QStringLiteral("titulo"));
                break;
            case Kind::PageHeader:
                html_ += bandHtml(band, QStringLiteral("cabecalho"));
                break;
            case Kind::Summary:
                html_ += bandHtml(closeTable(band), QStringLiteral("resumo"));
                break;
            case Kind::PageFooter:
                if (tableOpen_)
                    closeTable({});
                html_ += bandHtml(band, QStringLiteral("rodape"));
                break;
            }
        }

        void columnHeader(double, double) override
        {
            html_ += QStringLiteral("<table>\n<thead>\n<tr>");
            for (const Column &c : report_.columns) {
                const QString style = c.align == Qt::AlignLeft
                                          ? QString()
                                          : QStringLiteral(" style=\"text-align:%1\"").arg(htmlAlign(c.align));
                styles_.append(style);
                html_ += QStringLiteral("<th%1>%2</th>").arg(style, escaped(c.title));
            }
            html_ += QStringLiteral("</tr>\n</thead>\n<tbody>\n");
            tableOpen_ = true;
        }

        void row(const QStringList &cells, double) override
        {
            html_ += QLatin1String("<tr>");
            for (qsizetype i = 0; i < cells.size(); ++i) {
                html_ += QLatin1String("<td") + styles_[i] + u'>';
                html_ += escaped(cells[i]);
                html_ += QLatin1String("</td>");
            }
            html_ += QLatin1String("</tr>\n");
            if (html_.size() > 32768) {
                out_.write(html_);
                html_.clear();
            }
        }

        void endPage(int) override
        {
            html_ += QStringLiteral("</body>\n</html>\n");
            out_.write(html_);
            html_.clear();
        }

        QString commit() { return out_.commit(); }

    private:
        static QString escaped(const QString &s) { return s.toHtmlEscaped(); }

        // Band texts that count pages mean nothing on a page without pages.
        // Texts at one height share a line, as they do on paper.
        QString bandHtml(const Band &band, const QString &cls) const
        {
            QMap<double, QString> lines;
            for (const BandItem &item : band.items) {
                if (item.kind != BandItem::Text || item.text.uses(Part::Page) || item.text.uses(Part::Pages))
                    continue;
                QString style = QStringLiteral("text-align:%1").arg(htmlAlign(item.align));
                if (item.bold)
                    style += QStringLiteral(";font-weight:bold");
                if (item.fontSize > 0)
                    style += QStringLiteral(";font-size:%1pt").arg(item.fontSize);
                lines[item.y] += QStringLiteral("<span style=\"%1\">%2</span>").arg(style, escaped(engine_.expand(item.text, 1)));
            }
            QString out;
            for (const QString &line : std::as_const(lines))
                out += QStringLiteral("<div class=\"%1\">%2</div>\n").arg(cls, line);
            return out;
        }

        // Summary texts tied to a column close the table under their column;
        // the others share the cells before the first such column. The
        // texts left for below the table are returned.
        Band closeTable(const Band &summary)
        {
            tableOpen_ = false;
            html_ += QStringLiteral("</tbody>\n");
            int firstBound = int(report_.columns.size());
            for (const BandItem &item : summary.items)
                if (item.kind == BandItem::Text && item.column >= 0)
                    firstBound = std::min(firstBound, item.column);
            Band loose = summary;
            if (firstBound > 0 && firstBound < report_.columns.size()) {
                QStringList cells(report_.columns.size());
                loose.items.clear();
                for (const BandItem &item : summary.items) {
                    if (item.kind != BandItem::Text)
                        continue;
                    const int at = item.column >= 0 ? item.column : 0;
                    if (!cells[at].isEmpty())
                        cells[at] += QStringLiteral("<br>");
                    cells[at] += escaped(engine_.expand(item.text, 1));
                }
                html_ += QStringLiteral("<tfoot>\n<tr><td colspan=\"%1\">%2</td>").arg(firstBound).arg(cells[0]);
                for (qsizetype i = firstBound; i < cells.size(); ++i)
                    html_ += QLatin1String("<td") + styles_[i] + u'>' + cells[i] + QLatin1String("</td>");
                html_ += QStringLiteral("</tr>\n</tfoot>\n");
            }
            html_ += QStringLiteral("</table>\n");
            return loose;
        }

        ReportEngine &engine_;
        const ReportDefinition &report_;
        OutputFile out_;
        QString html_;
        QStringList styles_;
        bool tableOpen_ = false;
    };

    HtmlWriter sink(*this, path);
    if (!walk(nullptr, sink, 1, 1))
        return false;
    fail(sink.commit());
    return error_.isEmpty();
}

bool ReportEngine::writeText(const QString &path)
{
    const TextMetrics m(report_);
    if (!layOut(&m))
        return false;

    class TextWriter final : public Sink {
    public:
        TextWriter(ReportEngine &engine, const TextMetrics &m, const QString &path)
            : engine_(engine), m_(m), page_(0), out_(path)
        {
        }

        bool beginPage(int) override
        {
            page_ = TextPage(m_.pageLines());
            return true;
        }

        void band(Kind, const Band &band, double top, int page) override
        {
            const int lines = int(m_.bandHeight(band));
            for (const BandItem &item : band.items) {
                const int line = int(top) + std::clamp(TextMetrics::lines(item.y), 0, std::max(0, lines - 1));
                int col = m_.chars(item.x);
                int width = item.width > 0 ? m_.chars(item.x + item.width) - col
                                           : m_.chars(engine_.report_.contentWidthMm()) - col;
                if (item.column >= 0) {
                    col = m_.columnStart(m_.columns()[item.column]);
                    width = m_.columnChars(m_.columns()[item.column]);
                }
                if (item.kind == BandItem::Line)
                    page_.put(line, col, width, QString(width, u'-'), Qt::AlignLeft);
                else
                    page_.put(line, col, width, engine_.expand(item.text, page), item.align, false);
            }
        }

        void columnHeader(double top, double height) override
        {
            const int y = int(top);
            const int header = int(height);
            for (const Column &c : m_.columns()) {
                const QStringList lines = m_.wrap(c.title, c);
                const int first = y + header - 1 - int(lines.size());
                for (qsizetype i = 0; i < lines.size(); ++i)
                    page_.put(first + int(i), m_.columnStart(c), m_.columnChars(c), lines[i], c.align);
                page_.put(y + header - 1, m_.columnStart(c), m_.columnChars(c), QString(m_.columnChars(c), u'-'),
                          Qt::AlignLeft);
            }
        }

        void row(const QStringList &cells, double top) override
        {
            const int y = int(top);
            for (qsizetype i = 0; i < cells.size(); ++i) {
                const Column &c = m_.columns()[i];
                const QStringList lines = c.wrap ? m_.wrap(cells[i], c) : QStringList{cells[i]};
                for (qsizetype l = 0; l < lines.size(); ++l)
                    page_.put(y + int(l), m_.columnStart(c), m_.columnChars(c), lines[l], c.align,
                              c.format == FieldFormat::Text);
            }
        }

        void endPage(int page) override { out_.write(page > 1 ? u'\f' + page_.text() : page_.text()); }

        QString commit() { return out_.commit(); }

    private:
        ReportEngine &engine_;
        const TextMetrics &m_;
        TextPage page_;
        OutputFile out_;
    };

    TextWriter sink(*this, m, path);
    if (!walk(&m, sink, 1, int(layout_.pages.size())))
        return false;
    fail(sink.commit());
    return error_.isEmpty();
}

bool ReportEngine::writeFile(FileFormat format, const QString &path)
{
    switch (format) {
    case FileFormat::Pdf:
        return writePdf(path);
    case FileFormat::Html:
        return writeHtml(path);
    case FileFormat::Text:
        return writeText(path);
    }
    return false;
}

} // namespace norvel::report
