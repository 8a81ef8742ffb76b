#include "uDeclaracoes.h"

#include "ChequeCopyText.h"
#include "MessagePresenter.h"
#include "Money.h"
#include "TituloPrograma.h"
#include "Windows1252.h"

#include "Lumora.h"

#include <algorithm>

namespace {

void showError(const QString &text)
{
    messages().show(TituloPrograma, text, MessagePresenter::Icon::Error);
}

void showInvalidAmount(const QString &valor)
{
    showError(Money::invalidText(valor) + QStringLiteral("\nPor favor verifique o valor do cheque."));
}

// The printer selects the layout programmed under these three digits; with
// any other text it prints nothing.
bool refusedBankNumber(const QString &numeroBanco)
{
    const bool threeDigits = numeroBanco.size() == 3
                             && std::all_of(numeroBanco.begin(), numeroBanco.end(),
                                            [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!threeDigits)
        showError(QStringLiteral("O número do banco \"%1\" não é válido.\n"
                                 "Por favor informe o número do banco com três dígitos.")
                      .arg(numeroBanco));
    return !threeDigits;
}

// what: "o cheque", "a cópia do cheque".
void showNotSent(const QString &what)
{
    showError(QStringLiteral("A impressora não recebeu %1.\n"
                             "Por favor verifique a impressora e o cabo, e imprima novamente.")
                  .arg(what));
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

// The text in Windows-1252 with every control character as "?": the printer
// would take it as a command.
QByteArray plainBytes(const QString &text)
{
    QByteArray bytes = toWindows1252(text);
    for (char &c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    }
    return bytes;
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
    const QByteArray bytes = plainBytes(text).replace('$', '?');
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

bool PrinterSession::sendLine(const QString &text)
{
    return send(plainBytes(text) + '\n');
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
    // An amount beyond the printer's fourteen digits, or below zero, would
    // print another amount than the screen shows.
    if (!valor.fitsACheque()) {
        showInvalidAmount(valor.toText());
        return false;
    }
    if (refusedBankNumber(numeroBanco))
        return false;
    PrinterSession printer(porta);
    if (!readyToPrint(printer))
        return false;
    // The library holds the amount back and sends it with the print command,
    // so the printer always receives it last. The first refusal stops the
    // job: a print command after a lost field would print a wrong cheque.
    const bool sent = printer.sendField(ChequeField::Banco, numeroBanco)
                      && printer.sendField(ChequeField::Favorecido, favorecido)
                      && printer.sendField(ChequeField::Cidade, cidade)
                      && printer.sendField(ChequeField::Data, chequeDateText(data))
                      && printer.sendField(ChequeField::Valor, valor.printerDigits())
                      && printer.printCheque();
    if (!sent)
        showNotSent(QStringLiteral("o cheque"));
    return sent;
}

bool ImprimeCopiaCheque(const QString &numeroBanco, const QString &nomeBanco,
                        const QString &agencia, const QString &favorecido,
                        const QString &cidade, const QString &numeroCheque,
                        const QString &conta, Money valor,
                        const QString &descricao, const QString &parcela,
                        const QDate &data, int porta)
{
    const std::optional<QByteArray> text = chequeCopyText({numeroBanco, nomeBanco, agencia,
                                                           favorecido, cidade, numeroCheque,
                                                           conta, valor.toText(), descricao,
                                                           parcela, data});
    if (!text) {
        showInvalidAmount(valor.toText());
        return false;
    }
    PrinterSession printer(porta);
    if (!readyToPrint(printer))
        return false;
    const bool sent = printer.send(*text) && printer.eject();
    if (!sent)
        showNotSent(QStringLiteral("a cópia do cheque"));
    return sent;
}

QChar FiltraTeclaNumerica(QChar &key)
{
    const char16_t code = key.unicode();
    const bool kept = code == 8 || code == 127 || (code >= u'0' && code <= u'9');
    if (!kept)
        key = QChar(0);
    return key;
}
