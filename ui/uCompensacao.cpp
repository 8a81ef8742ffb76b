#include "uCompensacao.h"
#include "ui_uCompensacao.h"

#include "uDMNorvelCheque.h"

TfrmCompensacao::TfrmCompensacao(const Contexto &contexto, QWidget *parent)
    : RegistroSimples(
          {
              .cadastro = Cadastro::Compensacao,
              .campoNome = QStringLiteral("NOMECOMPENSACAO"),
              .tamanhoNome = 20,
              .alturaFechada = 202,
              .grupoDesabilitadoForaDoNovo = false,
              .novoFocaNome = true,
              .mensagemNomeVazio = QStringLiteral("Preencha o nome do tipo de compensação."),
              .prefixoFalhaInsercao = QStringLiteral("Erro ao inserir dados de compensação: "),
              .perguntaExclusao = QStringLiteral("Deseja realmente excluir o tipo de compensação?"),
              .textoEmUso = QStringLiteral("Não é possível deletar o Tipo de Compensação pois ele foi "
                                           "utilizado na emissão de algum cheque."),
              .prefixoFalhaExclusao = QStringLiteral("Erro ao apagar dados do tipo de compensação:"),
              .falhaExclusaoComCodigo = true,
          },
          contexto, parent),
      ui(std::make_unique<Ui::TfrmCompensacao>())
{
    ui->setupUi(this);
    ligaControles({ui->DBGrid1, ui->grpCompensacao, ui->edtNomeCompensacao, ui->btNovo, ui->btExcluir, ui->btSair,
          ui->btSalvar, ui->btCancelar});
}

TfrmCompensacao::~TfrmCompensacao() = default;
