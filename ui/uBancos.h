#pragma once

#include "BankLayout.h"
#include "JanelaFilha.h"
#include "UpDown.h"

#include <memory>
#include <optional>

class QLineEdit;

namespace Ui {
class TfrmBancos;
}

// The bank registry: number, name, short name and cheque layout of every
// bank, and the one place that programs a layout into the cheque printer.
class TfrmBancos : public JanelaFilha {
    Q_OBJECT

public:
    enum class Modo { Novo, Alterar };

    explicit TfrmBancos(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmBancos() override;

    Modo modo() const { return modo_; }

protected:
    void FormShow() override;

private:
    void dbIDBancoChange();
    void btNovoClick();
    void btAlterarClick();
    void btCancelarClick();
    void btSalvarClick();
    void btSalvarImpressoraClick();
    void btExcluirClick();
    RegrasSaida::Resultado edtNumeroBancoExit();

    void LeInfosBanco();

    // The rules every layout box shares.
    RegrasSaida::Resultado caixaLeiauteExit(BankLayout::Field campo);
    void udLeiauteClick(BankLayout::Field campo, UpDown::Button button);

    QLineEdit *caixa(BankLayout::Field campo) const;
    void habilitaEdicao(bool ligada);
    void habilitaNavegacao(bool ligada);
    void sincronizaBancoAtual();
    int linhaAtual() const;
    bool numeroCadastrado(const QString &numero, bool &cadastrado);
    // Leaves the box being edited for "Salvar"; false when its rule raised
    // its conversion error.
    bool deixaCaixaEditada();
    bool validaLeiaute(BankLayout &leiaute);
    // The save procedure of "Salvar"; false when it ended in an error for
    // the program's error report, which also ends the command that ran it.
    bool salva();
    void grava(const QString &posicoes);

    std::unique_ptr<Ui::TfrmBancos> ui;
    Modo modo_ = Modo::Novo;
    // Set when a box's leave rule raised its conversion error.
    bool saidaFalhou_ = false;
    // The bank that a taken number of a new bank turned the save into
    // altering.
    std::optional<int> chaveDoNumero_;
};
