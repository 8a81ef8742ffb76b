#include "uBancos.h"
#include "ui_uBancos.h"

#include "ColunasGrade.h"
#include "NorvelApplication.h"
#include "MessagePresenter.h"
#include "uDMNorvelCheque.h"
#include "uDeclaracoes.h"
#include "uPrincipal.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>

namespace {

const QString Titulo = QStringLiteral("Norvel Cheque");

void mostra(const QString &texto)
{
    messages().show(Titulo, texto, MessagePresenter::Icon::None);
}

// Text to integer the way the program converts typed numbers: anything but
// an optionally signed run of digits is the conversion error.
bool converteInteiro(const QString &texto, int &valor)
{
    bool ok = false;
    valor = texto.toInt(&ok);
    if (!ok)
        NorvelApplication::relataErro(QStringLiteral("'%1' is not a valid integer value").arg(texto));
    return ok;
}

// A key that the box would type, as opposed to a movement or a shortcut,
// which the key filters leave alone. Tab carries a text too, but it moves
// the focus to the next box.
bool teclaDigitada(const QKeyEvent *evento)
{
    return !evento->text().isEmpty() && evento->key() != Qt::Key_Delete && evento->key() != Qt::Key_Tab
           && evento->key() != Qt::Key_Backtab
           && !(evento->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

TfrmBancos::TfrmBancos(QWidget *parent)
    : QWidget(parent), lePortaCOM([] { return frmPrincipal ? frmPrincipal->portaCOM() : 0; }),
      ui(std::make_unique<Ui::TfrmBancos>())
{
    ui->setupUi(this);
    setFixedSize(size());
    setAttribute(Qt::WA_DeleteOnClose);

    connect(ui->btNovo, &QPushButton::clicked, this, &TfrmBancos::btNovoClick);
    connect(ui->btAlterar, &QPushButton::clicked, this, &TfrmBancos::btAlterarClick);
    connect(ui->btExcluir, &QPushButton::clicked, this, &TfrmBancos::btExcluirClick);
    connect(ui->btSalvar, &QPushButton::clicked, this, &TfrmBancos::btSalvarClick);
    connect(ui->btSalvarImpressora, &QPushButton::clicked, this, &TfrmBancos::btSalvarImpressoraClick);
    connect(ui->btCancelar, &QPushButton::clicked, this, &TfrmBancos::btCancelarClick);
    connect(ui->dbIDBanco, &QLineEdit::textChanged, this, &TfrmBancos::dbIDBancoChange);

    eventosCaixa_.insert(ui->edtNumeroBanco,
                         {&TfrmBancos::edtNumeroBancoKeyPress, &TfrmBancos::edtNumeroBancoExit});
#define BANCOS_LIGA_EVENTOS(Campo)                                                                 \
    eventosCaixa_.insert(ui->edt##Campo, {&TfrmBancos::edt##Campo##KeyPress, &TfrmBancos::edt##Campo##Exit}); \
    connect(ui->ud##Campo, &UpDown::clicked, this, &TfrmBancos::ud##Campo##Click);
    BANCOS_CAIXAS_LEIAUTE(BANCOS_LIGA_EVENTOS)
#undef BANCOS_LIGA_EVENTOS
    for (QObject *caixa : eventosCaixa_.keys())
        caixa->installEventFilter(this);

    if (dmNorvelCheque) {
        configuraGrade(ui->DBGrid1, dmNorvelCheque->ListaBancos,
                       {{QStringLiteral("NUMBANCO"), dmNorvelCheque->ListaBancos.fieldLabel(QStringLiteral("NUMBANCO"))},
                        {QStringLiteral("SIGLABANCO"), QStringLiteral("Sigla"), 134},
                        {QStringLiteral("NOMEBANCO"), QStringLiteral("Nome do Banco"), 249}});
        connect(ui->DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &TfrmBancos::sincronizaBancoAtual);
        connect(ui->DBGrid1->model(), &QAbstractItemModel::modelReset, this, &TfrmBancos::sincronizaBancoAtual);
    }
    habilitaEdicao(false);
    sincronizaBancoAtual();
}

TfrmBancos::~TfrmBancos() = default;

void TfrmBancos::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Only the first showing: restoring a minimised window keeps the boxes.
    if (!mostrada_) {
        mostrada_ = true;
        FormShow();
    }
}

void TfrmBancos::closeEvent(QCloseEvent *event)
{
    FormClose();
    QWidget::closeEvent(event);
}

bool TfrmBancos::eventFilter(QObject *watched, QEvent *event)
{
    const auto eventos = eventosCaixa_.constFind(watched);
    if (eventos != eventosCaixa_.cend()) {
        if (event->type() == QEvent::KeyPress && teclaDigitada(static_cast<QKeyEvent *>(event))) {
            QChar tecla = static_cast<QKeyEvent *>(event)->text().at(0);
            (this->*eventos->keyPress)(tecla);
            if (tecla.isNull())
                return true;
        } else if (event->type() == QEvent::FocusOut) {
            // Another window coming forward (a message box among them) is
            // not leaving the box. Nor is a click on one of the group's
            // buttons, which take no focus from the mouse: inside the main
            // window the focus then goes to the child window's frame, and
            // the command leaves the box itself.
            const Qt::FocusReason motivo = static_cast<QFocusEvent *>(event)->reason();
            const bool cliqueNoGrupo = motivo == Qt::MouseFocusReason
                                       && (ui->btSalvar->underMouse() || ui->btSalvarImpressora->underMouse()
                                           || ui->btCancelar->underMouse());
            if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason && !cliqueNoGrupo)
                (this->*eventos->exit)();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmBancos::FormShow() { LeInfosBanco(); }

void TfrmBancos::FormClose() { setAttribute(Qt::WA_DeleteOnClose); }

int TfrmBancos::linhaAtual() const
{
    const QModelIndex atual = ui->DBGrid1->currentIndex();
    return atual.isValid() ? atual.row() : -1;
}

void TfrmBancos::sincronizaBancoAtual()
{
    const int linha = linhaAtual();
    const QString id = linha >= 0
                           ? dmNorvelCheque->ListaBancos.value(linha, QStringLiteral("IDBANCO")).toString()
                           : QString();
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
    if (!dmNorvelCheque || !dmNorvelCheque->ListaBancos.isActive() || dmNorvelCheque->ListaBancos.isEmpty()
        || linha < 0)
        return;
    const norvel::db::DbQuery &lista = dmNorvelCheque->ListaBancos;
    ui->edtNumeroBanco->setText(lista.value(linha, QStringLiteral("NUMBANCO")).toString());
    ui->edtNomeBanco->setText(lista.value(linha, QStringLiteral("NOMEBANCO")).toString());
    ui->edtSiglaBanco->setText(lista.value(linha, QStringLiteral("SIGLABANCO")).toString());
    const BankLayout leiaute = BankLayout::decode(lista.value(linha, QStringLiteral("POSICOESBANCO")).toString());
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

void TfrmBancos::edtNumeroBancoKeyPress(QChar &key) { FiltraTeclaNumerica(key); }

void TfrmBancos::edtNumeroBancoExit()
{
    const QString numero = ui->edtNumeroBanco->text();
    if (numero.size() == 1 || numero.size() == 2)
        ui->edtNumeroBanco->setText(numero.rightJustified(3, u'0'));
}

void TfrmBancos::caixaLeiauteKeyPress(QChar &key)
{
    if (!BankLayout::acceptsKey(key))
        key = QChar();
}

void TfrmBancos::caixaLeiauteExit(BankLayout::Field campo)
{
    QLineEdit *box = caixa(campo);
    const BankLayout::LeaveResult saida = BankLayout::leave(campo, box->text());
    box->setText(saida.text);
    switch (saida.outcome) {
    case BankLayout::LeaveResult::Accepted:
        break;
    case BankLayout::LeaveResult::OutOfRange:
        mostra(saida.message);
        box->setFocus();
        break;
    case BankLayout::LeaveResult::NotANumber:
        saidaFalhou_ = true;
        NorvelApplication::relataErro(saida.message);
        box->setFocus();
        break;
    }
}

void TfrmBancos::udLeiauteClick(BankLayout::Field campo, UpDown::Button button)
{
    QLineEdit *box = caixa(campo);
    box->setText(BankLayout::stepped(campo, box->text(), button == UpDown::Button::Up ? 1 : -1));
    box->setFocus();
}

#define BANCOS_DEFINE_EVENTOS(Campo)                                                               \
    void TfrmBancos::edt##Campo##KeyPress(QChar &key) { caixaLeiauteKeyPress(key); }               \
    void TfrmBancos::edt##Campo##Exit() { caixaLeiauteExit(BankLayout::Campo); }                   \
    void TfrmBancos::ud##Campo##Click(UpDown::Button button) { udLeiauteClick(BankLayout::Campo, button); }
BANCOS_CAIXAS_LEIAUTE(BANCOS_DEFINE_EVENTOS)
#undef BANCOS_DEFINE_EVENTOS

bool TfrmBancos::numeroCadastrado(const QString &numero, bool &cadastrado)
{
    norvel::db::DbQuery &consulta = dmNorvelCheque->spConsultaBanco;
    try {
        consulta.close();
        consulta.setParam(0, numero);
        consulta.open();
        cadastrado = !consulta.isEmpty();
        consulta.close();
        return true;
    } catch (const norvel::db::DbError &erro) {
        NorvelApplication::relataErro(erro.message());
        return false;
    }
}

bool TfrmBancos::deixaCaixaEditada()
{
    // The group's buttons take no focus from a mouse click (their form says
    // so), so a click runs the rule once, here, and not again on the press.
    // A box that no longer holds the real focus (an inactive window, or the
    // focus handed to the child window's frame) hears nothing of the move.
    QWidget *editada = focusWidget();
    const bool avisada = editada && editada->hasFocus();
    saidaFalhou_ = false;
    ui->btSalvar->setFocus();
    if (!avisada && editada && editada != ui->btSalvar && eventosCaixa_.contains(editada))
        (this->*eventosCaixa_.value(editada).exit)();
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
        messages().show(Titulo, problema->message, MessagePresenter::Icon::Warning);
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
    } else if (messages().ask(Titulo, QStringLiteral("Banco de Numero: %1 ja esta cadastrado, deseja alterar?").arg(numero))) {
        // Alter the bank that holds the number, not the one the grid happens
        // to show: numbers are unique, so rewriting another bank with it
        // would fail or overwrite the wrong bank.
        norvel::db::DbQuery &lista = dmNorvelCheque->ListaBancos;
        const int linha = lista.locate(QStringLiteral("NUMBANCO"), numero);
        if (linha >= 0)
            chaveDoNumero_ = lista.value(linha, QStringLiteral("IDBANCO")).toInt();
        modo_ = Modo::Alterar;
        return salva();
    }
    return true;
}

void TfrmBancos::grava(const QString &posicoes)
{
    const QString prefixo = QStringLiteral("Erro ao tentar salvar dados: ");
    TdmNorvelCheque &dm = *dmNorvelCheque;
    WriteResult resultado;
    if (modo_ == Modo::Novo) {
        resultado = dm.gravar(dm.spInsereBanco,
                              {{QStringLiteral("NOMEBANCO"), ui->edtNomeBanco->text()},
                               {QStringLiteral("SIGLABANCO"), ui->edtSiglaBanco->text()},
                               {QStringLiteral("NUMBANCO"), ui->edtNumeroBanco->text()},
                               {QStringLiteral("POSICOESBANCO"), posicoes}},
                              prefixo, {&dm.ListaBancos, &dm.ListaBancos2});
    } else {
        bool temChave = chaveDoNumero_.has_value();
        const int chave = temChave ? *chaveDoNumero_ : ui->dbIDBanco->text().toInt(&temChave);
        if (!temChave) {
            mostra(prefixo + QStringLiteral("'%1' is not a valid integer value").arg(ui->dbIDBanco->text()));
            return;
        }
        // The short name loses its outer blanks only when altering.
        resultado = dm.gravar(dm.spSalvarBanco,
                              {{QStringLiteral("IDBANCO"), chave},
                               {QStringLiteral("NOMEBANCO"), ui->edtNomeBanco->text()},
                               {QStringLiteral("SIGLABANCO"), ui->edtSiglaBanco->text().trimmed()},
                               {QStringLiteral("NUMBANCO"), ui->edtNumeroBanco->text()},
                               {QStringLiteral("POSICOESBANCO"), posicoes}},
                              prefixo, {&dm.ListaBancos, &dm.ListaBancos2});
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
    if (!messages().ask(Titulo, QStringLiteral("Deseja realmente excluir o banco?")))
        return;
    const QString prefixo = QStringLiteral("Erro ao apagar dados do banco: ");
    bool temChave = false;
    const int chave = ui->dbIDBanco->text().toInt(&temChave);
    if (!temChave) {
        mostra(prefixo + QStringLiteral("'%1' is not a valid integer value").arg(ui->dbIDBanco->text()));
        return;
    }
    TdmNorvelCheque &dm = *dmNorvelCheque;
    const WriteResult resultado = dm.gravar(dm.spApagaBanco, {{QStringLiteral("IDBANCO"), chave}}, prefixo,
                                            {&dm.ListaBancos, &dm.ListaBancos2});
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
    if (!messages().ask(QStringLiteral("Confirmação"),
                        QStringLiteral("Esta operação irá cadastrar um novo leiaute de banco na impressora. "
                                       "Você deseja continuar?")))
        return;

    // The session closes the port on every way out of this scope.
    PrinterSession impressora(lePortaCOM());
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
