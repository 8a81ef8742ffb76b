#include "uCentroCusto.h"
#include "ui_uCentroCusto.h"

#include "uDMNorvelCheque.h"

TfrmCentroCusto::TfrmCentroCusto(const Contexto &contexto, QWidget *parent)
    : RegistroSimples(
          {
              .cadastro = Cadastro::CentroCusto,
              .campoNome = QStringLiteral("NOMECENTROCUSTO"),
              .tamanhoNome = 30,
              .alturaFechada = 199,
              .grupoDesabilitadoForaDoNovo = true,
              .novoFocaNome = true,
              .mensagemNomeVazio = QStringLiteral("Preencha o nome do centro de custo."),
              .prefixoFalhaInsercao = QStringLiteral("Erro ao inserir dados do centro de custo: "),
              .perguntaExclusao = QStringLiteral("Deseja realmente excluir o centro de custo?"),
              .textoEmUso = QStringLiteral("Não é possível deletar o Centro de Custo pois ele foi utilizado "
                                           "na emissão de algum cheque."),
              .prefixoFalhaExclusao = QStringLiteral("Erro ao apagar dados do centro de custo:"),
              .falhaExclusaoComCodigo = true,
          },
          contexto, parent),
      ui(std::make_unique<Ui::TfrmCentroCusto>())
{
    ui->setupUi(this);
    ligaControles({ui->DBGrid1, ui->grpCentroCusto, ui->edtNomeCentroCusto, ui->btNovo, ui->btExcluir, ui->btSair,
          ui->btSalvar, ui->btCancelar});
}

TfrmCentroCusto::~TfrmCentroCusto() = default;
