#include "uDeclaracoes.h"

#include "ChequeCopyText.h"
#include "MessagePresenter.h"
#include "Money.h"
#include "Windows1252.h"

#include "Lumora.h"

namespace {

const QString kTitle = QStringLiteral("Norvel Cheque");

void showError(const QString &text)
{
    messages().show(kTitle, text, MessagePresenter::Icon::Error);
}

void showInvalidAmount(const QString &valor)
{
    showError(Money::invalidText(valor) + QStringLiteral("\nPor favor verifique o valor do cheque."));
}

// The status check of both print jobs, with their three messages.
bool readyToPrint(const PrinterSession &printer)
{
    if (!printer.isOpen()) {
        showError(QStringLiteral("Não foi possível abrir a porta de comunicação.\n"
                                 "Por favor certifique-se se você está usando a porta correta."));
        return false;
    }
    switch (printer.status()) {
    case PrinterStatus::Ok:
        return true;
    case PrinterStatus::Off:
        showError(QStringLiteral("Impressora desligada ou sem comunicação.\n"
                                 "Por favor verifique se a impressora está ligada ou se o cabo "
                                 "está conectado."));
        return false;
    case PrinterStatus::NoPaperOrBusy:
        showError(QStringLiteral("Impressora sem papel ou imprimindo cheque.\n"
                                 "Por favor verifique se o papel está posicionado corretamente, "
                                 "ou se existe um cheque sendo impresso."));
        return false;
    }
    return false;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// DDMMYY: 8 December 2026 gives 081226.
QString chequeDateText(const QDate &date)
{
    return twoDigits(date.day()) + twoDigits(date.month())
           + QString::number(date.year()).right(2).rightJustified(2, u'0');
}

} // namespace

PrinterSession::PrinterSession(int port)
    : port_(port), open_(Lumora_Abre(port) == 1)
{
}

PrinterSession::~PrinterSession()
{
    if (open_)
        Lumora_Fecha();
}

PrinterStatus PrinterSession::status() const
{
    if (!open_ || Lumora_Status(port_, 0) != 1)
        return PrinterStatus::Off;
    if (Lumora_Status(port_, 2) == 1 || Lumora_Status(port_, 3) == 1)
        return PrinterStatus::NoPaperOrBusy;
    return PrinterStatus::Ok;
}

bool PrinterSession::programBankLayout(int bank, const QString &layout)
{
    return open_ && Lumora_ProgramaBancos(port_, bank, toWindows1252(layout).constData()) == 1;
}

bool PrinterSession::sendField(ChequeField field, const QString &text)
{
    // "$" ends a field frame and a control character (ESC) would open another
    // one; either would spill the rest of the text onto the cheque.
    QByteArray bytes = toWindows1252(text);
    for (char &c : bytes) {
        if (c == '$' || static_cast<unsigned char>(c) < 0x20)
            c = '?';
    }
    return open_ && Lumora_CampoCheque(port_, static_cast<uint32_t>(field), bytes.constData()) == 1;
}

bool PrinterSession::printCheque()
{
    return open_ && Lumora_ImprimeCheque(port_) == 1;
}

bool PrinterSession::send(const QByteArray &bytes)
{
    return open_
           && Lumora_EnviaBloco(port_, bytes.constData(), static_cast<int32_t>(bytes.size())) == 1;
}

bool PrinterSession::eject()
{
    return open_ && Lumora_Ejeta(port_) == 1;
}

std::optional<Money> LeValorCheque(const QString &valor)
{
    const std::optional<Money> amount = Money::parse(valor);
    if (!amount)
        showInvalidAmount(valor);
    return amount;
}

bool ImprimeChequeImpressora(const QString &numeroBanco, const QString &favorecido,
                             const QString &cidade, Money valor, const QDate &data, int porta)
{
    PrinterSession printer(porta);
    if (!readyToPrint(printer))
        return false;
    // The library holds the amount back and sends it with the print command,
    // so the printer always receives it last.
    printer.sendField(ChequeField::Banco, numeroBanco);
    printer.sendField(ChequeField::Favorecido, favorecido);
    printer.sendField(ChequeField::Cidade, cidade);
    printer.sendField(ChequeField::Data, chequeDateText(data));
    printer.sendField(ChequeField::Valor, valor.printerDigits());
    printer.printCheque();
    return true;
}

bool ImprimeCopiaCheque(const QString &numeroBanco, const QString &nomeBanco,
                        const QString &agencia, const QString &favorecido,
                        const QString &cidade, const QString &numeroCheque,
                        const QString &conta, Money valor,
                        const QString &descricao, const QString &parcela,
                        const QDate &data, int porta)
{
    PrinterSession printer(porta);
    if (!readyToPrint(printer))
        return false;
    const std::optional<QByteArray> text = chequeCopyText({numeroBanco, nomeBanco, agencia,
                                                           favorecido, cidade, numeroCheque,
                                                           conta, valor.toText(), descricao,
                                                           parcela, data});
    if (text && printer.send(*text))
        printer.eject();
    return true;
}

QChar FiltraTeclaNumerica(QChar &key)
{
    const char16_t code = key.unicode();
    const bool kept = code == 8 || code == 127 || (code >= u'0' && code <= u'9');
    if (!kept)
        key = QChar(0);
    return key;
}
