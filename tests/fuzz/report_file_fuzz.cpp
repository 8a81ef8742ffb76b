// The report file reader against any file a user may edit or receive: a
// file it accepts has every measure finite and within a page, and renders
// to plain text and HTML over a few rows without fault. An input that is not
// a file of its own ("<" first) fills the slots of a complete report, one
// slot a line, from the slot its first byte names, so that random bytes
// reach every attribute's check; slots left over keep their defaults.
#include "ReportDataSet.h"
#include "ReportDefinition.h"
#include "ReportEngine.h"

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace norvel::report;

namespace {

// Slots are @default@.
const char *const Template = R"(<?xml version="1.0" encoding="UTF-8"?>
<report title="@Fuzz@">
<page size="@A5@" orientation="@landscape@" left="@10@" right="@10@" top="@10@" bottom="@10@"/>
<font family="DejaVu Sans" size="@8@"/>
<title height="@8@"><text x="@0@" y="@0@" width="@0@" height="@4@" size="@12@" bold="@true@">@{#title} {#date}@</text></title>
<pageHeader height="@5@"><line x="@0@" y="@4@" width="@0@"/></pageHeader>
<columns header-height="@6@" row-height="@4@">
<column title="@Valor@" field="A" width="@30@" format="money" align="@right@"/>
<column title="@Texto@" value="@{B} {A}@" width="@50@" wrap="@true@"/>
<column title="@Data@" field="B" width="@25@" format="@date@"/>
</columns>
<summary height="@6@"><text column="@1@" align="@right@">@Total: {#sum:A} {#count}@</text></summary>
<pageFooter height="@5@"><text y="@0@" align="@center@">@{#page}/{#pages}@</text></pageFooter>
</report>
)";

// Each byte a character; control characters, which XML refuses, as dots.
QByteArray text(QByteArray piece)
{
    for (char &c : piece)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '.';
    return QString::fromLatin1(piece).toUtf8();
}

QByteArray fill(const QByteArray &input)
{
    const QList<QByteArray> parts = QByteArray(Template).split('@');
    const int slotCount = int(parts.size() / 2);
    QList<QByteArray> pieces = input.mid(1).split('\n');
    const int first = input.isEmpty() ? 0 : static_cast<unsigned char>(input[0]) % slotCount;
    QByteArray file;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const int slot = int(i / 2);
        file += i % 2 == 0 ? parts[i]
                : slot >= first && slot - first < pieces.size() ? text(pieces[slot - first])
                                                                : parts[i];
    }
    return file;
}

// Every field of any row is the same amount, which a date column shows as text.
class AnyFields final : public DataSet {
public:
    int rowCount() const override { return 3; }
    bool hasField(const QString &) const override { return true; }
    QVariant value(int, const QString &) const override { return QStringLiteral("1234,56"); }
};

bool withinPage(double mm) { return std::isfinite(mm) && mm >= 0 && mm <= 420; }

void check(const ReportDefinition &report)
{
    bool ok = report.columns.size() <= 100 && report.fontSize <= 200;
    for (const Column &c : report.columns)
        ok = ok && withinPage(c.width);
    for (const Band *band : {&report.titleBand, &report.pageHeader, &report.summary, &report.pageFooter}) {
        ok = ok && withinPage(band->height) && band->items.size() <= 200;
        for (const BandItem &item : band->items)
            ok = ok && withinPage(item.x) && withinPage(item.y) && withinPage(item.width) && withinPage(item.height)
                 && item.column < report.columns.size();
    }
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(bytes), qsizetype(size));
    QString error;
    const auto report = readReport(input.startsWith('<') ? input : fill(input), QStringLiteral("fuzz.rav"), &error);
    if (!report) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    check(*report);
    // Files in memory where there is such a place: a saved file is synced to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/report_file_fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/report_file_fuzz-XXXXXX"));
    for (FileFormat format : {FileFormat::Text, FileFormat::Html}) {
        AnyFields data;
        ReportEngine engine(*report, data);
        if (!engine.writeFile(format, dir.filePath(QStringLiteral("fuzz.") + defaultSuffix(format)))
            && engine.errorString().isEmpty())
            std::abort();
    }
    return 0;
}
