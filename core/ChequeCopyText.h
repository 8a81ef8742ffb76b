#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

// What a cheque copy shows, as the cheque screens hold it.
struct ChequeCopy {
    QString numeroBanco;
    QString nomeBanco;
    QString agencia;
    QString favorecido;
    QString cidade;
    QString numeroCheque;
    QString conta;
    QString valor;     // amount text as Money::parse reads it, printed as given
    QString descricao; // may be empty: no DESCRICAO block
    QString parcela;   // may be empty: no "Num. Parcela: " line
    QDate data;
};

// "8 de dezembro de 2026": Portuguese month names in lower case, whatever the
// machine's locale.
QString longDatePtBr(const QDate &date);

// The copy as the printer receives it: Windows-1252 bytes, lines ended by
// line feeds only. The amount line, the amount in words in lines of 70
// characters, the city and long date, the labelled lines of the cheque's
// data (the installment's "ª" as the printer's byte 0xA6) and, when there is
// a description, a DESCRICAO block in lines of 75 characters. No length
// limit. nullopt when the amount text is not a number.
std::optional<QByteArray> chequeCopyText(const ChequeCopy &copy);
