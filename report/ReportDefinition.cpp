#include "ReportDefinition.h"

#include "ReportDataSet.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QRectF>
#include <QSizeF>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace norvel::report {

namespace {

using Part = TextTemplate::Part;

// Raised inside the loader and turned into the message at its edge.
struct LoadError {
    qint64 line;
    QString text;
};

// What a page can show, and a report file hold; beyond it a file is refused
// before any of it is laid out.
constexpr double MaxMm = 420;        // the longest side of the largest page (A3)
constexpr double MaxFontPoints = 200;
constexpr qsizetype MaxTextChars = 1000;
constexpr int MaxColumns = 100;
constexpr int MaxBandItems = 200;
constexpr qint64 MaxFileBytes = 1024 * 1024;

// The reader's own messages in the program's language; the English text of
// one not listed never reaches the user.
QString readerError(const QXmlStreamReader &xml)
{
    static const struct {
        const char *english;
        const char *text;
    } known[] = {
        {"Opening and ending tag mismatch.", "a marca de fim não corresponde ao elemento aberto"},
        {"Extra content at end of document.", "há conteúdo depois do fim do relatório"},
        {"Entity expands to more characters than the entity expansion limit.",
         "uma entidade se expande além do limite permitido"},
        {"Self-referencing entity detected.", "uma entidade refere-se a si mesma"},
        {"Recursive entity detected.", "uma entidade refere-se a si mesma"},
        {"Invalid XML name.", "nome de elemento ou atributo inválido"},
        {"Invalid XML character.", "caractere inválido"},
        {"Invalid character reference.", "referência de caractere inválida"},
        {"Start tag expected.", "falta o elemento <report>"},
        {"Invalid document.", "o arquivo não é um documento XML"},
        {"XML declaration not at start of document.", "a declaração <?xml?> não está no começo do arquivo"},
        {"Attribute '%1' redefined.", "o atributo \"%1\" aparece duas vezes"},
        {"Entity '%1' not declared.", "a entidade \"%1\" não foi declarada"},
        {"Unexpected '%1'.", "\"%1\" inesperado"},
        {"Expected %1, but got '%2'.", "esperava-se %1 neste ponto"}, // what it got is a class, not the character
    };
    const QString message = xml.errorString();
    for (const auto &k : known) {
        QString pattern = QRegularExpression::escape(QString::fromUtf8(k.english));
        pattern.replace(QStringLiteral("\\%1"), QStringLiteral("(.*)")).replace(QStringLiteral("\\%2"), QStringLiteral("(.*)"));
        const auto m = QRegularExpression(u'^' + pattern + u'$').match(message);
        if (!m.hasMatch())
            continue;
        QString text = QString::fromUtf8(k.text);
        for (int i = 1; i <= m.lastCapturedIndex() && text.contains(u'%'); ++i)
            text = text.arg(shown(m.captured(i).replace(QStringLiteral(" or "), QStringLiteral(" ou "))));
        return text;
    }
    return xml.error() == QXmlStreamReader::PrematureEndOfDocumentError
               ? QStringLiteral("o arquivo termina antes do fim do relatório")
               : QStringLiteral("o arquivo não é XML bem formado");
}

std::optional<Part::Kind> variableKind(const QString &name)
{
    static const QHash<QString, Part::Kind> kinds = {
        {QStringLiteral("title"), Part::Title}, {QStringLiteral("date"), Part::Date},
        {QStringLiteral("time"), Part::Time},   {QStringLiteral("page"), Part::Page},
        {QStringLiteral("pages"), Part::Pages}, {QStringLiteral("count"), Part::Count},
    };
    const auto it = kinds.constFind(name);
    if (it == kinds.cend())
        return std::nullopt;
    return *it;
}

class Loader {
public:
    explicit Loader(QXmlStreamReader &xml) : xml_(xml) {}

    ReportDefinition read()
    {
        ReportDefinition report;
        if (!nextElement() || xml_.name() != QLatin1String("report"))
            fail(QStringLiteral("o elemento principal deve ser <report>"));
        checkAttributes({QStringLiteral("title")});
        report.title = xml_.attributes().value(QLatin1String("title")).toString();
        while (nextChild()) {
            const auto name = xml_.name();
            if (name == QLatin1String("page"))
                readPage(report);
            else if (name == QLatin1String("font"))
                readFont(report);
            else if (name == QLatin1String("title"))
                report.titleBand = readBand(report);
            else if (name == QLatin1String("pageHeader"))
                report.pageHeader = readBand(report);
            else if (name == QLatin1String("columns"))
                readColumns(report);
            else if (name == QLatin1String("summary"))
                report.summary = readBand(report);
            else if (name == QLatin1String("pageFooter"))
                report.pageFooter = readBand(report);
            else
                fail(QStringLiteral("elemento <%1> desconhecido").arg(shown(name.toString())));
        }
        if (report.columns.isEmpty())
            fail(QStringLiteral("o relatório não tem colunas"));
        const double width = report.contentWidthMm();
        const Column &last = report.columns.last();
        if (last.x + last.width > width + 0.01)
            fail(QStringLiteral("as colunas somam %1 mm, mais que os %2 mm entre as margens")
                     .arg(last.x + last.width).arg(width));
        return report;
    }

private:
    [[noreturn]] void fail(const QString &text) { throw LoadError{xml_.lineNumber(), text}; }

    void checkLength(const QString &what, const QString &text)
    {
        if (text.size() > MaxTextChars)
            fail(QStringLiteral("%1 tem %2 caracteres, mais que os %3 que uma página mostra: \"%4\"")
                     .arg(what).arg(text.size()).arg(MaxTextChars).arg(shown(text)));
    }

    // Next start element at any depth below the current; false at the end.
    bool nextElement()
    {
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isDTD())
                fail(QStringLiteral("um relatório não tem DOCTYPE"));
            if (xml_.isStartElement())
                return true;
        }
        return false;
    }

    // Next child element of the current one; false at its end tag.
    bool nextChild()
    {
        while (xml_.readNext() != QXmlStreamReader::Invalid) {
            if (xml_.isStartElement())
                return true;
            if (xml_.isEndElement())
                return false;
            if (xml_.isCharacters() && !xml_.isWhitespace())
                fail(QStringLiteral("texto fora de um elemento"));
        }
        return false;
    }

    void checkAttributes(const QStringList &allowed)
    {
        for (const QXmlStreamAttribute &a : xml_.attributes())
            if (!allowed.contains(a.name().toString()))
                fail(QStringLiteral("atributo \"%1\" desconhecido em <%2>").arg(shown(a.name().toString()), xml_.name()));
    }

    QString text(const QString &name, const QString &fallback = {})
    {
        const QXmlStreamAttributes a = xml_.attributes();
        if (!a.hasAttribute(name))
            return fallback;
        const QString v = a.value(name).toString();
        checkLength(QStringLiteral("o atributo \"%1\"").arg(name), v);
        return v;
    }

    // A plain decimal ("12", "4.23") from 0 to max: no sign, exponent,
    // "nan" or "inf".
    double number(const QString &name, double fallback, bool required = false, double max = MaxMm,
                  const QString &unit = QStringLiteral("mm"))
    {
        const QXmlStreamAttributes a = xml_.attributes();
        if (!a.hasAttribute(name)) {
            if (required)
                fail(QStringLiteral("falta o atributo \"%1\" em <%2>").arg(name, xml_.name()));
            return fallback;
        }
        static const QRegularExpression decimal(QStringLiteral("^[0-9]{1,6}(\\.[0-9]{1,6})?$"));
        const QString v = a.value(name).toString();
        const double n = decimal.match(v).hasMatch() ? v.toDouble() : -1;
        if (n < 0 || n > max)
            fail(QStringLiteral("o atributo \"%1\" deve ser um número de 0 a %2 (em %3), não \"%4\"")
                     .arg(name).arg(max).arg(unit, shown(v)));
        return n;
    }

    bool flag(const QString &name)
    {
        const QString v = text(name, QStringLiteral("false"));
        if (v != QLatin1String("true") && v != QLatin1String("false"))
            fail(QStringLiteral("o atributo \"%1\" deve ser true ou false").arg(name));
        return v == QLatin1String("true");
    }

    Qt::Alignment alignment()
    {
        const QString v = text(QStringLiteral("align"), QStringLiteral("left"));
        if (v == QLatin1String("left"))
            return Qt::AlignLeft;
        if (v == QLatin1String("center"))
            return Qt::AlignHCenter;
        if (v == QLatin1String("right"))
            return Qt::AlignRight;
        fail(QStringLiteral("alinhamento \"%1\" desconhecido (left, center ou right)").arg(shown(v)));
    }

    TextTemplate textTemplate(const QString &source, bool fieldsAllowed)
    {
        QString why;
        const auto t = TextTemplate::parse(source, &why);
        if (!t)
            fail(why);
        if (!fieldsAllowed && t->uses(Part::Field))
            fail(QStringLiteral("campos dos dados só podem aparecer nas colunas: \"%1\"").arg(shown(source)));
        return *t;
    }

    void noChildren()
    {
        if (nextChild())
            fail(QStringLiteral("<%1> não pode conter elementos").arg(xml_.name()));
    }

    void readPage(ReportDefinition &report)
    {
        checkAttributes({QStringLiteral("size"), QStringLiteral("orientation"), QStringLiteral("left"),
                         QStringLiteral("right"), QStringLiteral("top"), QStringLiteral("bottom")});
        static const QHash<QString, QPageSize::PageSizeId> sizes = {
            {QStringLiteral("A3"), QPageSize::A3},         {QStringLiteral("A4"), QPageSize::A4},
            {QStringLiteral("A5"), QPageSize::A5},         {QStringLiteral("Letter"), QPageSize::Letter},
            {QStringLiteral("Legal"), QPageSize::Legal},
        };
        const QString size = text(QStringLiteral("size"), QStringLiteral("A4"));
        if (!sizes.contains(size))
            fail(QStringLiteral("tamanho de página \"%1\" desconhecido").arg(shown(size)));
        report.pageSize = sizes.value(size);
        const QString orientation = text(QStringLiteral("orientation"), QStringLiteral("portrait"));
        if (orientation == QLatin1String("landscape"))
            report.orientation = QPageLayout::Landscape;
        else if (orientation == QLatin1String("portrait"))
            report.orientation = QPageLayout::Portrait;
        else
            fail(QStringLiteral("orientação \"%1\" desconhecida (portrait ou landscape)").arg(shown(orientation)));
        report.margins = QMarginsF(number(QStringLiteral("left"), 10), number(QStringLiteral("top"), 10),
                                   number(QStringLiteral("right"), 10), number(QStringLiteral("bottom"), 10));
        noChildren();
    }

    void readFont(ReportDefinition &report)
    {
        checkAttributes({QStringLiteral("family"), QStringLiteral("size")});
        report.fontFamily = text(QStringLiteral("family"), report.fontFamily);
        report.fontSize = number(QStringLiteral("size"), report.fontSize, false, MaxFontPoints, QStringLiteral("pontos"));
        if (report.fontSize < 4)
            fail(QStringLiteral("fonte de %1 pontos é pequena demais").arg(report.fontSize));
        noChildren();
    }

    Band readBand(const ReportDefinition &report)
    {
        checkAttributes({QStringLiteral("height")});
        Band band;
        band.height = number(QStringLiteral("height"), 0, true);
        while (nextChild()) {
            if (band.items.size() == MaxBandItems)
                fail(QStringLiteral("uma faixa tem no máximo %1 elementos").arg(MaxBandItems));
            BandItem item;
            if (xml_.name() == QLatin1String("text")) {
                checkAttributes({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("width"),
                                 QStringLiteral("height"), QStringLiteral("align"), QStringLiteral("bold"),
                                 QStringLiteral("size"), QStringLiteral("column")});
                item.kind = BandItem::Text;
                item.align = alignment();
                item.bold = flag(QStringLiteral("bold"));
                item.fontSize = number(QStringLiteral("size"), 0, false, MaxFontPoints, QStringLiteral("pontos"));
            } else if (xml_.name() == QLatin1String("line")) {
                checkAttributes({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("width")});
                item.kind = BandItem::Line;
            } else {
                fail(QStringLiteral("elemento <%1> desconhecido numa faixa (text ou line)").arg(xml_.name()));
            }
            item.x = number(QStringLiteral("x"), 0);
            item.y = number(QStringLiteral("y"), 0);
            item.width = number(QStringLiteral("width"), 0);
            item.height = number(QStringLiteral("height"), 0);
            if (xml_.attributes().hasAttribute(QLatin1String("column"))) {
                const QString n = text(QStringLiteral("column"));
                static const QRegularExpression index(QStringLiteral("^[1-9][0-9]{0,2}$"));
                if (!index.match(n).hasMatch() || n.toInt() > report.columns.size())
                    fail(QStringLiteral("a coluna \"%1\" não existe (as colunas vêm antes das faixas que as usam)").arg(shown(n)));
                item.column = n.toInt() - 1;
                item.x = report.columns[item.column].x;
                item.width = report.columns[item.column].width;
            }
            if (item.y + item.height > band.height + 0.01)
                fail(QStringLiteral("o elemento passa da altura da faixa (%1 mm)").arg(band.height));
            if (item.kind == BandItem::Text) {
                const qint64 line = xml_.lineNumber();
                const QString source = xml_.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
                if (xml_.hasError())
                    return band; // the caller reports the reader's error
                if (source.size() > MaxTextChars)
                    throw LoadError{line, QStringLiteral("o texto tem %1 caracteres, mais que os %2 que uma página mostra: \"%3\"")
                                              .arg(source.size()).arg(MaxTextChars).arg(shown(source))};
                QString why;
                const auto t = TextTemplate::parse(source, &why);
                if (!t)
                    throw LoadError{line, why};
                if (t->uses(Part::Field))
                    throw LoadError{line, QStringLiteral("campos dos dados só podem aparecer nas colunas: \"%1\"")
                                              .arg(shown(source))};
                item.text = *t;
            } else {
                noChildren();
            }
            band.items.append(item);
        }
        return band;
    }

    void readColumns(ReportDefinition &report)
    {
        checkAttributes({QStringLiteral("header-height"), QStringLiteral("row-height")});
        report.columnHeaderHeight = number(QStringLiteral("header-height"), report.columnHeaderHeight);
        report.rowHeight = number(QStringLiteral("row-height"), report.rowHeight);
        if (report.rowHeight <= 0)
            fail(QStringLiteral("a altura da linha deve ser maior que zero"));
        double x = 0;
        while (nextChild()) {
            if (xml_.name() != QLatin1String("column"))
                fail(QStringLiteral("elemento <%1> desconhecido em <columns>").arg(xml_.name()));
            if (report.columns.size() == MaxColumns)
                fail(QStringLiteral("um relatório tem no máximo %1 colunas").arg(MaxColumns));
            checkAttributes({QStringLiteral("title"), QStringLiteral("field"), QStringLiteral("value"),
                             QStringLiteral("width"), QStringLiteral("align"), QStringLiteral("format"),
                             QStringLiteral("wrap")});
            Column column;
            column.title = text(QStringLiteral("title"));
            const QString field = text(QStringLiteral("field"));
            const QString value = text(QStringLiteral("value"));
            if (field.isEmpty() == value.isEmpty())
                fail(QStringLiteral("a coluna precisa de \"field\" ou de \"value\", um só"));
            if (!field.isEmpty())
                column.value.parts.append(Part{Part::Field, field});
            else
                column.value = textTemplate(value, true);
            column.width = number(QStringLiteral("width"), 0, true);
            column.x = x;
            x += column.width;
            column.align = alignment();
            const QString format = text(QStringLiteral("format"), QStringLiteral("text"));
            if (format == QLatin1String("text"))
                column.format = FieldFormat::Text;
            else if (format == QLatin1String("date"))
                column.format = FieldFormat::Date;
            else if (format == QLatin1String("money"))
                column.format = FieldFormat::Money;
            else
                fail(QStringLiteral("formato \"%1\" desconhecido (text, date ou money)").arg(shown(format)));
            column.wrap = flag(QStringLiteral("wrap"));
            noChildren();
            report.columns.append(column);
        }
    }

    QXmlStreamReader &xml_;
};

} // namespace

std::optional<TextTemplate> TextTemplate::parse(const QString &text, QString *error)
{
    TextTemplate t;
    QString literal;
    auto flush = [&] {
        if (!literal.isEmpty())
            t.parts.append(Part{Part::Literal, literal});
        literal.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if ((c == u'{' || c == u'}') && i + 1 < text.size() && text[i + 1] == c) {
            literal += c;
            ++i;
            continue;
        }
        if (c == u'}') {
            *error = QStringLiteral("\"}\" sem \"{\" em \"%1\"").arg(shown(text));
            return std::nullopt;
        }
        if (c != u'{') {
            literal += c;
            continue;
        }
        const qsizetype end = text.indexOf(u'}', i);
        if (end < 0) {
            *error = QStringLiteral("\"{\" sem \"}\" em \"%1\"").arg(shown(text));
            return std::nullopt;
        }
        // Blanks around a name are layout; any other space is part of it.
        QString name = text.mid(i + 1, end - i - 1);
        while (name.startsWith(u' '))
            name.remove(0, 1);
        while (name.endsWith(u' '))
            name.chop(1);
        i = end;
        flush();
        if (!name.startsWith(u'#')) {
            if (name.isEmpty()) {
                *error = QStringLiteral("\"{}\" sem nome de campo em \"%1\"").arg(shown(text));
                return std::nullopt;
            }
            t.parts.append(Part{Part::Field, name});
        } else if (name.startsWith(QLatin1String("#sum:")) && name.size() > 5) {
            t.parts.append(Part{Part::Sum, name.mid(5)});
        } else if (const auto kind = variableKind(name.mid(1))) {
            t.parts.append(Part{*kind, {}});
        } else {
            *error = QStringLiteral("valor \"{%1}\" desconhecido").arg(shown(name));
            return std::nullopt;
        }
    }
    flush();
    return t;
}

bool TextTemplate::uses(Part::Kind kind) const
{
    return std::any_of(parts.cbegin(), parts.cend(), [kind](const Part &p) { return p.kind == kind; });
}

QSizeF ReportDefinition::pageSizeMm() const
{
    return pageLayout().fullRect(QPageLayout::Millimeter).size();
}

QPageLayout ReportDefinition::pageLayout() const
{
    return QPageLayout(QPageSize(pageSize), orientation, QMarginsF(), QPageLayout::Millimeter);
}

double ReportDefinition::contentWidthMm() const
{
    return pageSizeMm().width() - margins.left() - margins.right();
}

QStringList ReportDefinition::fields() const
{
    QStringList out;
    auto add = [&](const TextTemplate &t) {
        for (const Part &p : t.parts)
            if ((p.kind == Part::Field || p.kind == Part::Sum) && !out.contains(p.text))
                out.append(p.text);
    };
    for (const Column &c : columns)
        add(c.value);
    for (const Band *band : {&titleBand, &pageHeader, &summary, &pageFooter})
        for (const BandItem &item : band->items)
            add(item.text);
    return out;
}

QStringList ReportDefinition::sumFields() const
{
    QStringList out;
    for (const Band *band : {&titleBand, &pageHeader, &summary, &pageFooter})
        for (const BandItem &item : band->items)
            for (const Part &p : item.text.parts)
                if (p.kind == Part::Sum && !out.contains(p.text))
                    out.append(p.text);
    return out;
}

std::optional<ReportDefinition> loadReport(const QString &path, QString *error)
{
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("O arquivo de relatório \"%1\" não foi encontrado.").arg(path);
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Não foi possível ler o arquivo de relatório \"%1\": %2.").arg(path, file.errorString());
        return std::nullopt;
    }
    // One byte past the bound tells a file that is too big.
    return readReport(file.read(MaxFileBytes + 1), path, error);
}

std::optional<ReportDefinition> readReport(const QByteArray &content, const QString &name, QString *error)
{
    const bool tooBig = content.size() > MaxFileBytes;
    // Read as UTF-8 whatever the file declares, so that no character is
    // replaced unseen.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(tooBig ? content.left(MaxFileBytes) : content);
    if (utf8.hasError()) {
        const qsizetype bad = text.indexOf(QChar::ReplacementCharacter);
        *error = QStringLiteral("Erro no arquivo de relatório \"%1\", linha %2: o arquivo não está em UTF-8.")
                     .arg(name)
                     .arg(text.left(bad).count(u'\n') + 1);
        return std::nullopt;
    }
    QXmlStreamReader xml(text);
    try {
        Loader loader(xml);
        ReportDefinition report = loader.read();
        // Whatever follows the root element must still be well formed.
        while (!xml.atEnd() && !tooBig)
            xml.readNext();
        if (xml.hasError() || tooBig)
            throw LoadError{xml.lineNumber(), {}};
        report.fileName = name;
        return report;
    } catch (const LoadError &e) {
        // A syntax error found while reading an element outranks what the
        // loader concluded from the broken element; the end of the bytes
        // read outranks both.
        const qint64 line = xml.hasError() ? xml.lineNumber() : e.line;
        QString why = xml.hasError() ? readerError(xml) : e.text;
        if (tooBig && (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError || why.isEmpty()))
            why = QStringLiteral("o arquivo passa de %1 bytes, mais do que um relatório precisa").arg(MaxFileBytes);
        *error = QStringLiteral("Erro no arquivo de relatório \"%1\", linha %2: %3.").arg(name).arg(line).arg(why);
        return std::nullopt;
    }
}

QString shown(const QString &text)
{
    constexpr qsizetype shownChars = 60;
    QString out;
    qsizetype chars = 0;
    qsizetype i = 0;
    for (; i < text.size() && chars < shownChars; ++chars) {
        const char32_t c = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                               ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                               : text.at(i).unicode();
        i += c > 0xFFFF ? 2 : 1;
        // Invisible characters and lone halves of a pair are named by code.
        const bool hidden = QChar::isSurrogate(c) || (c != u' ' && QChar::isSpace(c))
                            || QChar::category(c) == QChar::Other_Control || QChar::category(c) == QChar::Other_Format;
        if (hidden)
            out += QStringLiteral("<U+%1>").arg(QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
        else
            out += QString::fromUcs4(&c, 1);
    }
    if (i < text.size())
        out += QStringLiteral("… (%1 caracteres)").arg(text.size());
    return out;
}

QString missingFieldError(const ReportDefinition &report, const DataSet &data)
{
    for (const QString &field : report.fields())
        if (!data.hasField(field))
            return QStringLiteral("O campo \"%1\" do arquivo de relatório \"%2\" não existe nos dados do relatório.")
                .arg(shown(field), report.fileName);
    return {};
}

} // namespace norvel::report
