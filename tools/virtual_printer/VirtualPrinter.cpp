#include "VirtualPrinter.h"

#include "Cp1252.h"
#include "LayoutStore.h"
#include "PageRenderer.h"
#include "PrintArchive.h"
#include "PrinterLog.h"
#include "PrinterState.h"

namespace {

// The bank number as typed ("1", "001" and "0001" name the same bank), or
// none when it is not a number from 0 to 999.
std::optional<int> bankNumber(const std::string& digits)
{
    if (digits.empty())
        return std::nullopt;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    if (digits.size() - first > 3)
        return std::nullopt;
    return std::stoi(digits.substr(first));
}

QString quoted(const std::string& bytes)
{
    return QLatin1Char('"') + decodePrinterText(bytes) + QLatin1Char('"');
}

QString latin(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

VirtualPrinter::VirtualPrinter(PrinterState& state, LayoutStore& layouts, PrintArchive& archive,
                               const PageRenderer& renderer, PrinterLog& log, QObject* parent)
    : QObject(parent)
    , state_(state)
    , layouts_(layouts)
    , log_(log)
    , writer_(archive, renderer)
{
    connect(&state_, &PrinterState::powerChanged, this, &VirtualPrinter::powerChanged);
    connect(&writer_, &PageWriter::saved, this, &VirtualPrinter::saved);
}

VirtualPrinter::~VirtualPrinter()
{
    if (const std::size_t left = writer_.waiting())
        log_.write(QStringLiteral("stopping: %1 pages waiting to be saved were dropped").arg(left));
}

void VirtualPrinter::receive(const QByteArray& bytes)
{
    if (!state_.power()) {
        log_.write(QStringLiteral("ignored %1 bytes: the printer is off").arg(bytes.size()));
        return;
    }
    for (const Frame& frame : interpreter_.feed(std::string_view(bytes.constData(), bytes.size())))
        apply(frame);
}

void VirtualPrinter::powerChanged(bool on)
{
    // The cheque fields and a half-received frame live in volatile memory;
    // the layouts do not.
    interpreter_.reset();
    fields_ = ChequeFields{};
    log_.write(on ? QStringLiteral("power on") : QStringLiteral("power off: cheque fields cleared"));
}

void VirtualPrinter::apply(const Frame& frame)
{
    switch (frame.kind) {
    case Frame::Kind::Layout:
        storeLayout(frame.text);
        return;
    case Frame::Kind::Bank:
        selectBank(frame.text);
        return;
    case Frame::Kind::Payee:
        fields_.payee = decodePrinterText(frame.text);
        log_.write(QStringLiteral("ESC F %1: payee").arg(quoted(frame.text)));
        return;
    case Frame::Kind::City:
        fields_.city = decodePrinterText(frame.text);
        log_.write(QStringLiteral("ESC C %1: city").arg(quoted(frame.text)));
        return;
    case Frame::Kind::Date:
        fields_.date = frame.text;
        log_.write(QStringLiteral("ESC D %1: date").arg(latin(frame.text)));
        return;
    case Frame::Kind::PrintCheque:
        printCheque(frame.text);
        return;
    case Frame::Kind::Document:
        printDocument(frame.text);
        return;
    case Frame::Kind::Invalid:
        log_.write(QStringLiteral("invalid frame: %1%2")
                       .arg(QString::fromStdString(frame.problem),
                            frame.text.empty() ? QString() : QStringLiteral(" (%1)").arg(quoted(frame.text))));
        return;
    }
}

void VirtualPrinter::storeLayout(const std::string& text)
{
    const std::string number = text.substr(0, 3);
    const auto layout = ChequeLayout::fromDigits(std::string_view(text).substr(3));
    const bool numberOk = number.find_first_not_of("0123456789") == std::string::npos;
    const QString head = QStringLiteral("ESC L %1 %2").arg(quoted(number), quoted(text.substr(3)));
    if (!numberOk || !layout) {
        log_.write(head + QStringLiteral(": refused, bank number and layout must be digits"));
        return;
    }
    QString error;
    if (!layouts_.put(std::stoi(number), *layout, &error))
        log_.write(head + QStringLiteral(": layout held, but not saved: %1").arg(error));
    else
        log_.write(head + QStringLiteral(": layout of bank %1 stored").arg(latin(number)));
}

void VirtualPrinter::selectBank(const std::string& digits)
{
    fields_.bank = digits;
    const QString head = QStringLiteral("ESC B %1").arg(latin(digits));
    const auto bank = bankNumber(digits);
    if (!bank) {
        log_.write(head + QStringLiteral(": not a bank number"));
        return;
    }
    if (!layouts_.find(*bank))
        log_.write(head + QStringLiteral(": bank selected, but it has no layout programmed"));
    else
        log_.write(head + QStringLiteral(": bank selected"));
}

QString VirtualPrinter::notReady() const
{
    if (!state_.paper())
        return QStringLiteral("no paper");
    if (state_.busy())
        return QStringLiteral("busy printing the previous cheque");
    return {};
}

void VirtualPrinter::printCheque(const std::string& digits)
{
    const QString head = QStringLiteral("ESC V %1").arg(quoted(digits));
    const auto amount = ChequeAmount::fromDigits(digits);
    if (!amount) {
        log_.write(head + QStringLiteral(": refused, the amount must be 1 to 14 digits"));
        return;
    }
    const QString reason = notReady();
    if (!reason.isEmpty()) {
        log_.write(head + QStringLiteral(": refused, %1 (no page)").arg(reason));
        return;
    }
    const std::string bank = fields_.bank.value_or(std::string());
    const auto number = bankNumber(bank);
    const auto layout = number ? layouts_.find(*number) : std::nullopt;
    if (!layout) {
        log_.write(head + (number ? QStringLiteral(": refused, bank %1 has no layout programmed (no page)").arg(latin(bank))
                                  : QStringLiteral(": refused, no bank selected (no page)")));
        return;
    }
    if (print(composeCheque(*layout, fields_, *amount), head,
              QStringLiteral("cheque printed, bank %1, R$ %2").arg(latin(bank), amount->text())))
        state_.chequePrinted();
}

void VirtualPrinter::printDocument(const std::string& bytes)
{
    if (bytes.empty()) {
        log_.write(QStringLiteral("FF: ejected, nothing printed"));
        return;
    }
    const QString head = QStringLiteral("FF after %1 bytes of text").arg(bytes.size());
    const QString reason = notReady();
    if (!reason.isEmpty()) {
        log_.write(head + QStringLiteral(": refused, %1 (no page)").arg(reason));
        return;
    }
    PrintedPage page = composeDocument(decodePrinterText(bytes));
    const QString what = QStringLiteral("document of %1 lines printed and ejected").arg(page.lines.size());
    print(std::move(page), head, what);
}

bool VirtualPrinter::print(PrintedPage page, const QString& head, const QString& what)
{
    if (writer_.submit(std::move(page), head + QStringLiteral(": ") + what + QStringLiteral(", ")))
        return true;
    log_.write(head + QStringLiteral(": refused, %1 pages are waiting to be saved (no page)").arg(PageWriter::kMaxWaiting));
    return false;
}

void VirtualPrinter::saved(const QString& head, const QString& outcome, const QStringList& warnings)
{
    log_.write(head + outcome);
    for (const QString& warning : warnings)
        log_.write(QStringLiteral("  warning: %1").arg(warning));
}
