#include "PageComposer.h"

#include "UnExtenso.h"

#include <QDate>

#include <array>

namespace {

constexpr std::array<const char*, 12> kMonthNames = {
    "janeiro", "fevereiro", "março", "abril", "maio", "junho",
    "julho", "agosto", "setembro", "outubro", "novembro", "dezembro"};

// The amount in words spells at most twelve integer digits and two decimals.
constexpr std::size_t kMaxAmountDigits = 14;
constexpr int kTabWidth = 8;

QString trimmedRight(const QString& line)
{
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == QLatin1Char(' '))
        --end;
    return line.left(end);
}

// The 20 x 80 cheque page, written field by field; what falls off the page
// is dropped and reported.
class ChequeGrid {
public:
    explicit ChequeGrid(QStringList& warnings)
        : warnings_(warnings)
    {
        lines_.fill(QString(PrintedPage::kColumns, QLatin1Char(' ')));
    }

    void write(int line, int column, const QString& text, const char* field)
    {
        if (line < 1 || line > PrintedPage::kChequeLines) {
            warnings_ << QStringLiteral("%1: line %2 is off the page (1 to %3), not printed")
                             .arg(QLatin1String(field)).arg(line).arg(PrintedPage::kChequeLines);
            return;
        }
        QString& row = lines_[line - 1];
        bool clipped = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype at = column + i;
            if (at < 0 || at >= PrintedPage::kColumns)
                clipped = true;
            else
                row[at] = text[i];
        }
        if (clipped)
            warnings_ << QStringLiteral("%1 runs past the edge of the page").arg(QLatin1String(field));
    }

    QStringList lines() const
    {
        QStringList out;
        for (const QString& line : lines_)
            out << trimmedRight(line);
        return out;
    }

private:
    std::array<QString, PrintedPage::kChequeLines> lines_;
    QStringList& warnings_;
};

void placeValue(ChequeGrid& grid, const ChequeLayout& layout, const ChequeAmount& amount, QStringList& warnings)
{
    const QString text = amount.text();
    const int first = layout[ChequeLayout::ColIniValor];
    const int last = layout[ChequeLayout::ColFimValor];
    const int width = last - first;
    // A value is never cut: one lost digit would change the amount.
    if (width < text.size()) {
        warnings << QStringLiteral("value %1 does not fit between columns %2 and %3, printed whole")
                        .arg(text).arg(first).arg(last);
        grid.write(layout[ChequeLayout::LinhaValor], last - static_cast<int>(text.size()), text, "value");
        return;
    }
    // Protection fill, so that nothing can be written in front of the value.
    grid.write(layout[ChequeLayout::LinhaValor], first,
               QString(width - text.size(), QLatin1Char('*')) + text, "value");
}

void placeWords(ChequeGrid& grid, const ChequeLayout& layout, const ChequeAmount& amount, QStringList& warnings)
{
    const int first1 = layout[ChequeLayout::ColIniExtenso1];
    const int first2 = layout[ChequeLayout::ColIniExtenso2];
    const int width1 = std::max(0, layout[ChequeLayout::ColFimExtenso1] - first1);
    const int width2 = std::max(0, layout[ChequeLayout::ColFimExtenso2] - first2);
    const WordLines lines = breakWords(amount.words(), width1, width2);
    if (lines.cut)
        warnings << QStringLiteral("amount in words does not fit on its two lines, cut at column %1")
                        .arg(layout[ChequeLayout::ColFimExtenso2]);
    grid.write(layout[ChequeLayout::LinhaExtenso1], first1, lines.first, "amount in words, line 1");
    if (!lines.second.isEmpty())
        grid.write(layout[ChequeLayout::LinhaExtenso2], first2, lines.second, "amount in words, line 2");
}

void placePayee(ChequeGrid& grid, const ChequeLayout& layout, const QString& payee, QStringList& warnings)
{
    if (payee.isEmpty()) {
        warnings << QStringLiteral("no payee received");
        return;
    }
    const int first = layout[ChequeLayout::ColIniFavorecido];
    const int width = std::max(0, layout[ChequeLayout::ColFimFavorecido] - first);
    QString text = payee;
    if (text.size() > width) {
        warnings << QStringLiteral("payee cut to %1 characters").arg(width);
        text.truncate(width);
    }
    grid.write(layout[ChequeLayout::LinhaFavorecido], first, text, "payee");
}

void placeCity(ChequeGrid& grid, const ChequeLayout& layout, const QString& city, QStringList& warnings)
{
    if (city.isEmpty()) {
        warnings << QStringLiteral("no city received");
        return;
    }
    const int last = layout[ChequeLayout::ColFimCidade];
    QString text = city;
    if (text.size() > last) {
        warnings << QStringLiteral("city cut to %1 characters").arg(last);
        text.truncate(last);
    }
    grid.write(layout[ChequeLayout::LinhaCidade], last - static_cast<int>(text.size()), text, "city");
}

void placeDate(ChequeGrid& grid, const ChequeLayout& layout, const std::optional<std::string>& date,
               QStringList& warnings)
{
    if (!date) {
        warnings << QStringLiteral("no date received");
        return;
    }
    const QString digits = QString::fromStdString(*date);
    const int day = digits.left(2).toInt();
    const int month = digits.mid(2, 2).toInt();
    const int year = 2000 + digits.mid(4, 2).toInt();
    const int line = layout[ChequeLayout::LinhaCidade];
    if (!QDate(year, month, day).isValid()) {
        warnings << QStringLiteral("date %1 is not a calendar date, printed as received").arg(digits);
        grid.write(line, layout[ChequeLayout::ColIniDia], digits.left(2), "day");
        grid.write(line, layout[ChequeLayout::ColIniMes], digits.mid(2, 2), "month");
        grid.write(line, layout[ChequeLayout::ColIniAno], digits.mid(4, 2), "year");
        return;
    }
    grid.write(line, layout[ChequeLayout::ColIniDia], digits.left(2), "day");
    grid.write(line, layout[ChequeLayout::ColIniMes], QString::fromUtf8(kMonthNames[month - 1]), "month");
    grid.write(line, layout[ChequeLayout::ColIniAno], QString::number(year), "year");
}

} // namespace

std::optional<ChequeAmount> ChequeAmount::fromDigits(std::string_view digits)
{
    if (digits.empty())
        return std::nullopt;
    for (const char c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    const std::size_t firstSignificant = digits.find_first_not_of('0');
    if (firstSignificant == std::string_view::npos)
        return ChequeAmount{0};
    const std::string_view significant = digits.substr(firstSignificant);
    if (significant.size() > kMaxAmountDigits)
        return std::nullopt;
    ChequeAmount amount;
    for (const char c : significant)
        amount.centavos = amount.centavos * 10 + (c - '0');
    return amount;
}

QString ChequeAmount::text() const
{
    QString reais = QString::number(centavos / 100);
    for (qsizetype at = reais.size() - 3; at > 0; at -= 3)
        reais.insert(at, QLatin1Char('.'));
    return reais + QLatin1Char(',') + QStringLiteral("%1").arg(centavos % 100, 2, 10, QLatin1Char('0'));
}

QString ChequeAmount::words() const
{
    const double reais = static_cast<double>(centavos / 100) + static_cast<double>(centavos % 100) / 100.0;
    return QString::fromStdString(Extenso(reais));
}

WordLines breakWords(const QString& words, int firstWidth, int secondWidth)
{
    WordLines lines;
    bool onSecond = false;
    for (const QString& word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!onSecond) {
            const qsizetype needed = lines.first.size() + (lines.first.isEmpty() ? 0 : 1) + word.size();
            if (needed <= firstWidth) {
                if (!lines.first.isEmpty())
                    lines.first += QLatin1Char(' ');
                lines.first += word;
                continue;
            }
            onSecond = true;
        }
        if (!lines.second.isEmpty())
            lines.second += QLatin1Char(' ');
        lines.second += word;
    }
    if (lines.second.size() > secondWidth) {
        lines.second.truncate(secondWidth);
        lines.cut = true;
    }
    return lines;
}

PrintedPage composeCheque(const ChequeLayout& layout, const ChequeFields& fields, const ChequeAmount& amount)
{
    PrintedPage page;
    page.kind = PrintedPage::Kind::Cheque;
    page.title = QStringLiteral("Banco %1").arg(QString::fromStdString(fields.bank.value_or(std::string())));
    ChequeGrid grid(page.warnings);
    placeValue(grid, layout, amount, page.warnings);
    placeWords(grid, layout, amount, page.warnings);
    placePayee(grid, layout, fields.payee, page.warnings);
    placeCity(grid, layout, fields.city, page.warnings);
    placeDate(grid, layout, fields.date, page.warnings);
    page.lines = grid.lines();
    return page;
}

PrintedPage composeDocument(const QString& text)
{
    PrintedPage page;
    page.kind = PrintedPage::Kind::Document;
    page.title = QStringLiteral("Documento");
    QString line;
    bool pending = false;
    auto endLine = [&] {
        page.lines << trimmedRight(line);
        line.clear();
        pending = false;
    };
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            endLine();
            continue;
        }
        if (c == QLatin1Char('\t')) {
            const qsizetype blanks = kTabWidth - line.size() % kTabWidth;
            line += QString(blanks, QLatin1Char(' '));
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            continue; // carriage returns and other controls print nothing
        } else {
            line += c;
        }
        pending = true;
        while (line.size() > PrintedPage::kColumns) {
            const QString rest = line.mid(PrintedPage::kColumns);
            line.truncate(PrintedPage::kColumns);
            endLine();
            line = rest;
            pending = !rest.isEmpty();
        }
    }
    if (pending)
        endLine();
    if (page.lines.size() > PrintedPage::kDocumentLines) {
        page.warnings << QStringLiteral("document cut after %1 of its %2 lines")
                             .arg(PrintedPage::kDocumentLines)
                             .arg(page.lines.size());
        page.lines.resize(PrintedPage::kDocumentLines);
    }
    return page;
}
