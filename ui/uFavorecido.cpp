#include "uFavorecido.h"
#include "ui_uFavorecido.h"

#include "uDMNorvelCheque.h"

TfrmFavorecido::TfrmFavorecido(const Contexto &contexto, QWidget *parent)
    : RegistroSimples(
          {
              .cadastro = Cadastro::Favorecido,
              .campoNome = QStringLiteral("NOMEFAVORECIDO"),
              .tamanhoNome = 65,
              .alturaFechada = 202,
              .grupoDesabilitadoForaDoNovo = false,
              .novoFocaNome = false,
              .mensagemNomeVazio = QStringLiteral("Preencha o nome do favorecido."),
              .prefixoFalhaInsercao = QStringLiteral("Erro ao inserir dados do favorecido: "),
              .perguntaExclusao = QStringLiteral("Deseja realmente excluir o favorecido?"),
              // Cheques keep the payee's name as text: no delete is refused
              // for being in use.
              .textoEmUso = QString(),
              .prefixoFalhaExclusao = QStringLiteral("Erro ao apagar dados do favorecido:"),
              .falhaExclusaoComCodigo = false,
          },
          contexto, parent),
      ui(std::make_unique<Ui::TfrmFavorecido>())
{
    ui->setupUi(this);
    ligaControles({ui->DBGrid1, ui->grpFavorecido, ui->edtNomeFavorecido, ui->btNovo, ui->btExcluir, ui->btSair,
          ui->btSalvar, ui->btCancelar});
}

TfrmFavorecido::~TfrmFavorecido() = default;
