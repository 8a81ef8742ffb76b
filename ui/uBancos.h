#pragma once

#include "BankLayout.h"
#include "UpDown.h"

#include <QHash>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLineEdit;

namespace Ui {
class TfrmBancos;
}

// The 18 layout boxes of the bank screen, by their BankLayout field names.
#define BANCOS_CAIXAS_LEIAUTE(X)                                                                   \
    X(LinhaValor) X(ColIniValor) X(ColFimValor)                                                    \
    X(LinhaExtenso1) X(ColIniExtenso1) X(ColFimExtenso1)                                           \
    X(LinhaExtenso2) X(ColIniExtenso2) X(ColFimExtenso2)                                           \
    X(LinhaFavorecido) X(ColIniFavorecido) X(ColFimFavorecido)                                     \
    X(LinhaCidade) X(ColFimCidade)                                                                 \
    X(ColIniNumCheque) X(ColIniDia) X(ColIniMes) X(ColIniAno)

// The bank registry: number, name, short name and cheque layout of every
// bank, and the one place that programs a layout into the cheque printer.
class TfrmBancos : public QWidget {
    Q_OBJECT

public:
    enum class Modo { Novo, Alterar };

    explicit TfrmBancos(QWidget *parent = nullptr);
    ~TfrmBancos() override;

    Modo modo() const { return modo_; }

    // The printer's port number at the moment of use; by default the main
    // window's. Tests without a main window give their own.
    std::function<int()> lePortaCOM;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void dbIDBancoChange();
    void btNovoClick();
    void btAlterarClick();
    void btCancelarClick();
    void btSalvarClick();
    void btSalvarImpressoraClick();
    void btExcluirClick();
    void edtNumeroBancoKeyPress(QChar &key);
    void edtNumeroBancoExit();
#define BANCOS_DECLARA_EVENTOS(Campo)                                                              \
    void edt##Campo##KeyPress(QChar &key);                                                         \
    void edt##Campo##Exit();                                                                       \
    void ud##Campo##Click(UpDown::Button button);
    BANCOS_CAIXAS_LEIAUTE(BANCOS_DECLARA_EVENTOS)
#undef BANCOS_DECLARA_EVENTOS

    void LeInfosBanco();

    // The rules every layout box shares.
    void caixaLeiauteKeyPress(QChar &key);
    void caixaLeiauteExit(BankLayout::Field campo);
    void udLeiauteClick(BankLayout::Field campo, UpDown::Button button);

    QLineEdit *caixa(BankLayout::Field campo) const;
    void habilitaEdicao(bool ligada);
    void habilitaNavegacao(bool ligada);
    void sincronizaBancoAtual();
    int linhaAtual() const;
    bool numeroCadastrado(const QString &numero, bool &cadastrado);
    // Moves the focus to "Salvar", which runs the leave rule of the box
    // being edited; false when that rule raised its conversion error.
    bool deixaCaixaEditada();
    bool validaLeiaute(BankLayout &leiaute);
    // The save procedure of "Salvar"; false when it ended in an error for
    // the program's error report, which also ends the command that ran it.
    bool salva();
    void grava(const QString &posicoes);

    struct EventosCaixa {
        void (TfrmBancos::*keyPress)(QChar &);
        void (TfrmBancos::*exit)();
    };

    std::unique_ptr<Ui::TfrmBancos> ui;
    QHash<QObject *, EventosCaixa> eventosCaixa_;
    Modo modo_ = Modo::Novo;
    bool mostrada_ = false;
    // Set when a box's leave rule raised its conversion error.
    bool saidaFalhou_ = false;
    // The bank that a taken number of a new bank turned the save into
    // altering.
    std::optional<int> chaveDoNumero_;
};
