#pragma once

// Plain rows of the register, as the windows fill and read them. The data
// module turns them into procedure inputs and reads them back from the
// current row of a query (TdmNorvelCheque::insereCheque, chequeDaLinha, ...).
// Amounts are Money here; the data module alone turns them into the amount
// text VALOR holds and back.

#include "Money.h"

#include <QDate>
#include <QString>

#include <optional>

// One row of CHEQUES: a single cheque. The names of the bank, cost centre and
// clearing type are only read (a query's joins fill them); an insert takes
// the keys.
struct RegistroCheque {
    int idCheque = 0;
    int idBanco = 0;
    QString numBanco;
    QString nomeBanco;
    QString agencia;
    QString conta;
    QString numCheque;
    QString favorecido;  // the payee's name as text, not a key
    QString cidade;
    Money valor;
    QDate dataEmissao;
    // Empty while not printed: no date stored, or the zero date 30.12.1899.
    std::optional<QDate> dataImpressao;
    bool jaImpresso = false;
    bool importado = false;
    bool terceiro = false;
    std::optional<int> idCentroCusto;  // empty: none chosen (stored as NULL)
    QString nomeCentroCusto;
    std::optional<int> idCompensacao;
    QString nomeCompensacao;
    QString descricao;
    int status = 0;  // 0 valid, 1 cancelled
};

// One row of CHEQUEPREDATADO: a whole post-dated series.
struct RegistroPreDatado {
    int idPreDatado = 0;
    int idBanco = 0;
    QString numBanco;
    QString nomeBanco;
    QString agencia;
    QString conta;
    QString numInicialCheque;  // text, as the series screen passes it
    QString favorecido;
    QString cidade;
    Money valor;               // the series' total
    QDate dataInicialEmissao;
    std::optional<QDate> dataImpressao;
    bool jaImpresso = false;
    bool importado = false;
    bool terceiro = false;
    std::optional<int> idCentroCusto;
    QString nomeCentroCusto;
    std::optional<int> idCompensacao;
    QString nomeCompensacao;
    int numParcelas = 0;
    int valorPeriodoImpressao = 0;
    QString periodoImpressao;  // "Dia(s)" or "Mês(es)"
    QString descricao;
    int status = 0;
};

// One row of BANCOS.
struct RegistroBanco {
    int idBanco = 0;
    QString numBanco;   // three digits ("001")
    QString nomeBanco;
    QString siglaBanco;
    QString posicoesBanco;  // the 36 digits of a BankLayout
};
