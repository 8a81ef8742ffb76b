#pragma once

#include "TestDatabase.h"
#include "uDMNorvelCheque.h"

#include <gtest/gtest.h>

#include <QDate>

#include <memory>

// A fresh database and data module for every test, so that tests run alone
// (as ctest runs them) or together give the same results.
class DataModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        base_ = std::make_unique<norvel::db::TestDatabase>();
        dm_ = std::make_unique<TdmNorvelCheque>();
        dm_->DataModuleCreate();
    }
    void TearDown() override
    {
        dm_.reset();
        base_.reset();
    }

    static TdmNorvelCheque& dm() { return *dm_; }

    // Runs a procedure through the write pattern and fails the test on error.
    static void write(norvel::db::DbStoredProc& sp, const ProcInputs& inputs,
                      const QList<norvel::db::DbQuery*>& lists = {})
    {
        const WriteResult r = dm().gravar(sp, inputs, QStringLiteral("Erro: "), lists);
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }

    static int insertBank(const QString& number, const QString& name = QStringLiteral("Banco"))
    {
        write(dm().spInsereBanco, {{"SIGLABANCO", QStringLiteral("BCO")}, {"NOMEBANCO", name},
                                   {"NUMBANCO", number},
                                   {"POSICOESBANCO", QStringLiteral("010203040506070809101112131415161718")}},
              {&dm().ListaBancos, &dm().ListaBancos2});
        return dm().spInsereBanco.output("IDBANCO").toInt();
    }

    static ProcInputs withOverrides(ProcInputs inputs, const ProcInputs& overrides)
    {
        for (const auto& [name, value] : overrides)
            for (auto& input : inputs)
                if (input.first == name)
                    input.second = value;
        return inputs;
    }

    // The inputs the single-cheque screen passes; override by name.
    static ProcInputs chequeInputs(int idBanco, const QDate& emissao, const ProcInputs& overrides = {})
    {
        ProcInputs inputs = {
            {"NUMAGENCIA", QStringLiteral("1234")}, {"IDBANCO", idBanco}, {"IDCENTROCUSTO", QVariant()},
            {"NUMCHEQUE", QStringLiteral("000123")}, {"CONTACORRENTE", QStringLiteral("98765")},
            {"DATAEMISSAO", emissao}, {"DATAIMPRESSAO", QVariant()},
            {"FAVORECIDO", QStringLiteral("José da Silva")}, {"LOCALIDADE", QStringLiteral("São João")},
            {"VALOR", QStringLiteral("1234,56")}, {"JAIMPRESSO", 0}, {"IMPORTADO", 0}, {"TERCEIRO", 0},
            {"IDCOMPENSACAO", QVariant()}, {"DESCRICAO", QStringLiteral("Aluguel")}, {"STATUS", QStringLiteral("0")},
        };
        return withOverrides(inputs, overrides);
    }

    static int insertCheque(int idBanco, const QDate& emissao, const ProcInputs& overrides = {})
    {
        write(dm().spInsereCheque, chequeInputs(idBanco, emissao, overrides), {&dm().ListaCheques});
        return dm().spInsereCheque.output("IDCHEQUE").toInt();
    }

    static ProcInputs seriesInputs(int idBanco, const QDate& first, const ProcInputs& overrides = {})
    {
        ProcInputs inputs = {
            {"NUMAGENCIA", QStringLiteral("0001")}, {"IDBANCO", idBanco}, {"IDCENTROCUSTO", QVariant()},
            {"NUMINICIALCHEQUE", QStringLiteral("500")}, {"CONTACORRENTE", QStringLiteral("4321")},
            {"DATAINICIALEMISSAO", first}, {"DATAIMPRESSAO", QVariant()},
            {"FAVORECIDO", QStringLiteral("Conceição")}, {"LOCALIDADE", QStringLiteral("Maceió")},
            {"VALOR", QStringLiteral("300,00")}, {"JAIMPRESSO", 0}, {"IMPORTADO", 0}, {"TERCEIRO", 0},
            {"IDCOMPENSACAO", QVariant()}, {"NUMPARCELAS", 3}, {"VALORPERIODOIMPRESSAO", 2},
            {"PERIODOIMPRESSAO", QStringLiteral("Mês(es)")}, {"DESCRICAO", QStringLiteral("Prestações")},
            {"STATUS", QStringLiteral("0")},
        };
        return withOverrides(inputs, overrides);
    }

    static int insertSeries(int idBanco, const QDate& first, const ProcInputs& overrides = {})
    {
        write(dm().spInserePredatado, seriesInputs(idBanco, first, overrides));
        return dm().spInserePredatado.output("IDPREDATADO").toInt();
    }

    // The one row of a by-date consultation that holds the key.
    static int rowOf(norvel::db::DbQuery& query, const QString& keyField, int key)
    {
        query.reopen();
        return query.locate(keyField, key);
    }

private:
    static inline std::unique_ptr<norvel::db::TestDatabase> base_;
    static inline std::unique_ptr<TdmNorvelCheque> dm_;
};
