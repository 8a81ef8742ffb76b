#pragma once

#include "Money.h"

#include <QByteArray>
#include <QChar>
#include <QDate>
#include <QString>

#include <optional>

// The program's road to the cheque printer. The program links the Lumora
// library at load time (it does not start without liblumora.so); windows
// never call Lumora themselves but go through this module, which converts
// every text to the printer's Windows-1252 bytes on the way out.
//
// All calls block the calling (user-interface) thread while the port is in
// use. The library keeps one connection per process, so hold one
// PrinterSession at a time.

// What the printer's status lines say, asked in this order: query 0 (DSR on),
// then query 2 (CTS off), then query 3 (DSR off) only when query 2 was not 1.
enum class PrinterStatus {
    Ok,             // switched on, paper in place, not printing
    Off,            // query 0 was not 1: switched off or cable loose
    NoPaperOrBusy,  // query 2 or query 3 was 1
};

// Cheque fields of PrinterSession::sendField, as the printer numbers them.
enum class ChequeField {
    Favorecido = 0, // payee
    Cidade = 1,     // city
    Banco = 2,      // bank number; selects the layout programmed for it
    Valor = 3,      // amount, digits only; held back until printCheque()
    Data = 4,       // DDMMYY
};

// One use of the printer port: the constructor opens it (Lumora_Abre), the
// destructor closes it (Lumora_Fecha) when the open succeeded, whatever path
// leaves the scope. Every call returns the library's verdict (true for 1);
// on a session that did not open they fail without touching the library.
//
//     PrinterSession printer(port);
//     if (!printer.isOpen()) { ...show the screen's own message...; return; }
//     switch (printer.status()) { ... }
class PrinterSession {
public:
    explicit PrinterSession(int port);
    ~PrinterSession();
    PrinterSession(const PrinterSession &) = delete;
    PrinterSession &operator=(const PrinterSession &) = delete;

    bool isOpen() const { return open_; }

    // The one status check of the program (print jobs and bank screen).
    // Off on a session that did not open.
    PrinterStatus status() const;

    // Programs the 36-character text of a BankLayout under bank number
    // bank (0 to 999) into the printer (Lumora_ProgramaBancos). The library
    // refuses any other length.
    bool programBankLayout(int bank, const QString &layout);

    // One cheque field frame (Lumora_CampoCheque); the text is converted to
    // Windows-1252, with "$" and control characters sent as "?".
    bool sendField(ChequeField field, const QString &text);
    // Sends the held amount frame, which makes the printer print the cheque
    // (Lumora_ImprimeCheque).
    bool printCheque();

    // Bytes ready for the wire (Windows-1252), sent whole in one block
    // (Lumora_EnviaBloco).
    bool send(const QByteArray &bytes);
    // One line of plain text and a line feed, in Windows-1252, sent whole in
    // one block however long; control characters go as "?" (an ESC would
    // open a command frame, a form feed eject the sheet).
    bool sendLine(const QString &text);
    // Form feed: ejects the sheet or cheque (Lumora_Ejeta).
    bool eject();

private:
    int port_;
    bool open_;
};

// The amount of an amount text (as Money::parse reads it) for the print
// jobs; nullopt after the jobs' message (title "Norvel Cheque", error icon)
// when the text is no amount.
std::optional<Money> LeValorCheque(const QString &valor);

// Prints one cheque: opens the port, checks the status lines, sends the bank
// number, payee, city, date (DDMMYY) and amount (Money::printerDigits) and
// the print command, and closes the port. True when the library took every
// field and the print command. Otherwise false after its message (title
// "Norvel Cheque", error icon): an amount no cheque carries (see
// Money::fitsACheque) or a bank number that is not three digits (both
// refused before the port opens), a port that does not open, a printer
// that is off, without paper or busy, or a field or the print command the
// library refused (the job stops there).
bool ImprimeChequeImpressora(const QString &numeroBanco, const QString &favorecido,
                             const QString &cidade, Money valor, const QDate &data, int porta);

// Prints the plain-text copy of a cheque on a sheet and ejects it (see
// ChequeCopyText.h for the text; its amount is Money::toText). Description
// and installment may be empty. True when the library took the text and the
// eject; otherwise false after the port, status or send message of
// ImprimeChequeImpressora.
bool ImprimeCopiaCheque(const QString &numeroBanco, const QString &nomeBanco,
                        const QString &agencia, const QString &favorecido,
                        const QString &cidade, const QString &numeroCheque,
                        const QString &conta, Money valor,
                        const QString &descricao, const QString &parcela,
                        const QDate &data, int porta);

// Key filter for digit-only boxes: keeps backspace (8), "0" to "9" and
// delete (127), turns every other key into 0 (no character). Changes key in
// place and returns it.
QChar FiltraTeclaNumerica(QChar &key);
