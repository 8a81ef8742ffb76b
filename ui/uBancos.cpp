#include "uBancos.h"
#include "ui_uBancos.h"

#include "ColunasGrade.h"
#include "FiltroTeclas.h"
#include "NorvelApplication.h"
#include "uDMNorvelCheque.h"
#include "uDeclaracoes.h"

TfrmBancos::TfrmBancos(const Contexto &contexto, QWidget *parent)
    : JanelaFilha(contexto, parent), ui(std::make_unique<Ui::TfrmBancos>())
{
    ui->setupUi(this);
    setFixedSize(size());

    comando(ui->btNovo, &TfrmBancos::btNovoClick);
    comando(ui->btAlterar, &TfrmBancos::btAlterarClick);
    comando(ui->btExcluir, &TfrmBancos::btExcluirClick);
    comando(ui->btSalvar, &TfrmBancos::btSalvarClick);
    comando(ui->btSalvarImpressora, &TfrmBancos::btSalvarImpressoraClick);
    comando(ui->btCancelar, &TfrmBancos::btCancelarClick);
    liga(ui->dbIDBanco, &QLineEdit::textChanged, &TfrmBancos::dbIDBancoChange);

    filtraDigitos(ui->edtNumeroBanco);
    regrasSaida().registra(ui->edtNumeroBanco, [this] { return edtNumeroBancoExit(); });
    for (int i = 0; i < BankLayout::FieldCount; ++i) {
        const auto campo = BankLayout::Field(i);
        filtraTeclas(caixa(campo), [](QChar &tecla) {
            if (!BankLayout::acceptsKey(tecla))
                tecla = QChar();
        });
        regrasSaida().registra(caixa(campo), [this, campo] { return caixaLeiauteExit(campo); });
        // The box's arrows: "edtLinhaValor" goes with "udLinhaValor".
        auto *setas = findChild<UpDown *>(QStringLiteral("ud") + BankLayout::info(campo).box.mid(3));
        liga(setas, &UpDown::clicked, [this, campo](UpDown::Button botao) { udLeiauteClick(campo, botao); });
    }

    if (contexto.dados) {
        configuraGrade(ui->DBGrid1, dados().ListaBancos,
                       {{QStringLiteral("NUMBANCO"), dados().ListaBancos.fieldLabel(QStringLiteral("NUMBANCO"))},
                        {QStringLiteral("SIGLABANCO"), QStringLiteral("Sigla"), 134},
                        {QStringLiteral("NOMEBANCO"), QStringLiteral("Nome do Banco"), 249}});
        liga(ui->DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged,
             &TfrmBancos::sincronizaBancoAtual);
        liga(ui->DBGrid1->model(), &QAbstractItemModel::modelReset, &TfrmBancos::sincronizaBancoAtual);
    }
    habilitaEdicao(false);
    sincronizaBancoAtual();
}

TfrmBancos::~TfrmBancos() = default;

void TfrmBancos::FormShow() { LeInfosBanco(); }

int TfrmBancos::linhaAtual() const
{
    const QModelIndex atual = ui->DBGrid1->currentIndex();
    return atual.isValid() ? atual.row() : -1;
}

void TfrmBancos::sincronizaBancoAtual()
{
    const int linha = linhaAtual();
    const QString id =
        linha >= 0 ? QString::number(dados().bancoDaLinha(dados().ListaBancos, linha).idBanco) : QString();
    // A data-aware box tells of every refresh of its row, also when the
    // text stays the same.
    if (ui->dbIDBanco->text() == id)
        dbIDBancoChange();
    else
        ui->dbIDBanco->setText(id);
}

void TfrmBancos::dbIDBancoChange() { LeInfosBanco(); }

void TfrmBancos::LeInfosBanco()
{
    const int linha = linhaAtual();
    if (!contexto().dados || !dados().ListaBancos.isActive() || dados().ListaBancos.isEmpty() || linha < 0)
        return;
    const RegistroBanco banco = dados().bancoDaLinha(dados().ListaBancos, linha);
    ui->edtNumeroBanco->setText(banco.numBanco);
    ui->edtNomeBanco->setText(banco.nomeBanco);
    ui->edtSiglaBanco->setText(banco.siglaBanco);
    const BankLayout leiaute = BankLayout::decode(banco.posicoesBanco);
    for (int campo = 0; campo < BankLayout::FieldCount; ++campo)
        caixa(BankLayout::Field(campo))->setText(leiaute.text(BankLayout::Field(campo)));
}

QLineEdit *TfrmBancos::caixa(BankLayout::Field campo) const
{
    return findChild<QLineEdit *>(BankLayout::info(campo).box);
}

void TfrmBancos::habilitaEdicao(bool ligada)
{
    for (QWidget *controle : {static_cast<QWidget *>(ui->grpPosicoes), static_cast<QWidget *>(ui->lblNumBanco),
                              static_cast<QWidget *>(ui->lblNomeBanco), static_cast<QWidget *>(ui->lblSiglaBanco),
                              static_cast<QWidget *>(ui->edtNumeroBanco), static_cast<QWidget *>(ui->edtNomeBanco),
                              static_cast<QWidget *>(ui->edtSiglaBanco)})
        controle->setEnabled(ligada);
}

void TfrmBancos::habilitaNavegacao(bool ligada)
{
    ui->btNovo->setEnabled(ligada);
    ui->btAlterar->setEnabled(ligada);
    ui->btExcluir->setEnabled(ligada);
}

void TfrmBancos::btNovoClick()
{
    chaveDoNumero_.reset();
    modo_ = Modo::Novo;
    habilitaEdicao(true);
    habilitaNavegacao(false);
    ui->edtNumeroBanco->clear();
    ui->edtNomeBanco->clear();
    ui->edtSiglaBanco->clear();
    const BankLayout padrao;
    for (int campo = 0; campo < BankLayout::FieldCount; ++campo)
        caixa(BankLayout::Field(campo))->setText(padrao.text(BankLayout::Field(campo)));
    ui->edtNumeroBanco->setFocus();
}

void TfrmBancos::btAlterarClick()
{
    chaveDoNumero_.reset();
    modo_ = Modo::Alterar;
    habilitaEdicao(true);
    // A bank's number cannot be changed.
    ui->edtNumeroBanco->setEnabled(false);
    habilitaNavegacao(false);
}

void TfrmBancos::btCancelarClick()
{
    chaveDoNumero_.reset();
    habilitaNavegacao(true);
    habilitaEdicao(false);
    LeInfosBanco();
}

RegrasSaida::Resultado TfrmBancos::edtNumeroBancoExit()
{
    const QString numero = ui->edtNumeroBanco->text();
    if (numero.size() == 1 || numero.size() == 2)
        ui->edtNumeroBanco->setText(numero.rightJustified(3, u'0'));
    return RegrasSaida::Resultado::Aceito;
}

RegrasSaida::Resultado TfrmBancos::caixaLeiauteExit(BankLayout::Field campo)
{
    QLineEdit *box = caixa(campo);
    const BankLayout::LeaveResult saida = BankLayout::leave(campo, box->text());
    box->setText(saida.text);
    switch (saida.outcome) {
    case BankLayout::LeaveResult::Accepted:
        break;
    case BankLayout::LeaveResult::OutOfRange:
        mostra(saida.message);
        return RegrasSaida::Resultado::Aviso;
    case BankLayout::LeaveResult::NotANumber:
        NorvelApplication::relataErro(saida.message);
        return RegrasSaida::Resultado::Recusado;
    }
    return RegrasSaida::Resultado::Aceito;
}

void TfrmBancos::udLeiauteClick(BankLayout::Field campo, UpDown::Button button)
{
    QLineEdit *box = caixa(campo);
    box->setText(BankLayout::stepped(campo, box->text(), button == UpDown::Button::Up ? 1 : -1));
    box->setFocus();
}


bool TfrmBancos::numeroCadastrado(const QString &numero, bool &cadastrado)
{
    try {
        cadastrado = dados().bancoCadastrado(numero);
        return true;
    } catch (const norvel::db::DbError &erro) {
        NorvelApplication::relataErro(erro.message());
        return false;
    }
}

bool TfrmBancos::deixaCaixaEditada()
{
    saidaFalhou_ = !regrasSaida().saiDaCaixaEditada(ui->btSalvar);
    return !saidaFalhou_;
}

bool TfrmBancos::validaLeiaute(BankLayout &leiaute)
{
    // A conversion error of the box being edited stops the save, as the
    // focus never left it.
    if (!deixaCaixaEditada())
        return false;

    for (int campo = 0; campo < BankLayout::FieldCount; ++campo)
        leiaute.setText(BankLayout::Field(campo), caixa(BankLayout::Field(campo))->text());
    if (const std::optional<BankLayout::Problem> problema = leiaute.validate()) {
        mostra(problema->message, MessagePresenter::Icon::Warning);
        if (QLineEdit *box = findChild<QLineEdit *>(problema->focusBox))
            box->setFocus();
        return false;
    }
    return true;
}

void TfrmBancos::btSalvarClick() { salva(); }

bool TfrmBancos::salva()
{
    habilitaNavegacao(true);
    BankLayout leiaute;
    if (!validaLeiaute(leiaute))
        return !saidaFalhou_;
    const QString posicoes = leiaute.encode();
    if (modo_ == Modo::Alterar) {
        grava(posicoes);
        return true;
    }
    const QString numero = ui->edtNumeroBanco->text();
    bool cadastrado = false;
    if (!numeroCadastrado(numero, cadastrado))
        return false;
    if (!cadastrado) {
        if (ui->edtNomeBanco->text().isEmpty() || numero.isEmpty()) {
            ui->edtNumeroBanco->setFocus();
            NorvelApplication::relataErro(QStringLiteral("Os campos \"Nome do Banco\" e \"Numero do Banco\" devem ser preechidos"));
            return false;
        }
        grava(posicoes);
    } else if (pergunta(QStringLiteral("Banco de Numero: %1 ja esta cadastrado, deseja alterar?").arg(numero))) {
        // Alter the bank that holds the number, not the one the grid happens
        // to show: numbers are unique, so rewriting another bank with it
        // would fail or overwrite the wrong bank.
        if (const std::optional<RegistroBanco> dono = dados().bancoDoNumero(numero))
            chaveDoNumero_ = dono->idBanco;
        modo_ = Modo::Alterar;
        return salva();
    }
    return true;
}

void TfrmBancos::grava(const QString &posicoes)
{
    const QString prefixo = QStringLiteral("Erro ao tentar salvar dados: ");
    RegistroBanco banco{0, ui->edtNumeroBanco->text(), ui->edtNomeBanco->text(), ui->edtSiglaBanco->text(),
                        posicoes};
    WriteResult resultado;
    if (modo_ == Modo::Novo) {
        resultado = dados().insereBanco(banco, prefixo);
    } else {
        bool temChave = chaveDoNumero_.has_value();
        banco.idBanco = temChave ? *chaveDoNumero_ : ui->dbIDBanco->text().toInt(&temChave);
        if (!temChave) {
            mostra(prefixo + QStringLiteral("'%1' is not a valid integer value").arg(ui->dbIDBanco->text()));
            return;
        }
        // The short name loses its outer blanks only when altering.
        banco.siglaBanco = banco.siglaBanco.trimmed();
        resultado = dados().salvaBanco(banco, prefixo);
    }
    if (!resultado) {
        mostra(resultado.message);
        return;
    }
    chaveDoNumero_.reset();
    habilitaEdicao(false);
}

void TfrmBancos::btExcluirClick()
{
    if (!pergunta(QStringLiteral("Deseja realmente excluir o banco?")))
        return;
    const QString prefixo = QStringLiteral("Erro ao apagar dados do banco: ");
    bool temChave = false;
    const int chave = ui->dbIDBanco->text().toInt(&temChave);
    if (!temChave) {
        mostra(prefixo + QStringLiteral("'%1' is not a valid integer value").arg(ui->dbIDBanco->text()));
        return;
    }
    const WriteResult resultado = dados().apagaBanco(chave, prefixo);
    if (!resultado)
        mostra(resultado.message);
}

void TfrmBancos::btSalvarImpressoraClick()
{
    // The number is looked up as it stands once its box is left.
    if (!deixaCaixaEditada())
        return;
    const QString numero = ui->edtNumeroBanco->text();
    if (modo_ == Modo::Novo) {
        bool cadastrado = false;
        if (!numeroCadastrado(numero, cadastrado))
            return;
        if (cadastrado) {
            mostra(QStringLiteral("Banco ") + numero + QStringLiteral(" ja cadastrado"));
            return;
        }
    }
    BankLayout leiaute;
    if (!validaLeiaute(leiaute))
        return;
    if (!pergunta(QStringLiteral("Esta operação irá cadastrar um novo leiaute de banco na impressora. "
                                 "Você deseja continuar?"),
                  QStringLiteral("Confirmação")))
        return;

    // The session closes the port on every way out of this scope.
    PrinterSession impressora(contexto().portaCOM);
    if (!impressora.isOpen()) {
        mostra(QStringLiteral("Falha ao abrir a porta serial"));
        return;
    }
    switch (impressora.status()) {
    case PrinterStatus::Ok:
        break;
    case PrinterStatus::Off:
        mostra(QStringLiteral("Impressora desconectada ou falha de comunicação"));
        return;
    case PrinterStatus::NoPaperOrBusy:
        mostra(QStringLiteral("Impressão em andamento ou Impressora sem Papel"));
        return;
    }
    int banco = 0;
    if (!converteInteiro(ui->edtNumeroBanco->text(), banco))
        return;
    const bool enviado = impressora.programBankLayout(banco, leiaute.encode());
    // An error the save reports ends the command before the notice.
    if (salva() && enviado)
        mostra(QStringLiteral("Comando enviado para Impressora"));
}
