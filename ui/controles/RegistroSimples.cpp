#include "RegistroSimples.h"

#include "ColunasGrade.h"
#include "uDMNorvelCheque.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

RegistroSimples::RegistroSimples(Descricao descricao, const Contexto &contexto, QWidget *parent)
    : JanelaFilha(contexto, parent), d_(std::move(descricao))
{
}

void RegistroSimples::ligaControles(const Controles &controles)
{
    c_ = controles;
    setFixedWidth(width());
    fecha();
    // A longer name would be refused by the database and lost.
    c_.nome->setMaxLength(d_.tamanhoNome);
    comando(c_.btNovo, &RegistroSimples::btNovoClick);
    comando(c_.btExcluir, &RegistroSimples::btExcluirClick);
    comando(c_.btSair, &RegistroSimples::btSairClick);
    comando(c_.btSalvar, &RegistroSimples::btSalvarClick);
    comando(c_.btCancelar, &RegistroSimples::btCancelarClick);
    if (d_.grupoDesabilitadoForaDoNovo)
        c_.grupo->setEnabled(false);
    else
        c_.grupo->hide();
    if (contexto().dados)
        configuraGrade(c_.grade, dados().listaDe(d_.cadastro), {{d_.campoNome, QStringLiteral("Nome"), 304}});
}

void RegistroSimples::fecha() { setFixedHeight(d_.alturaFechada); }

void RegistroSimples::abre() { setFixedHeight(AlturaAberta); }

void RegistroSimples::FormShow() { fecha(); }

void RegistroSimples::btNovoClick()
{
    abre();
    if (d_.grupoDesabilitadoForaDoNovo)
        c_.grupo->setEnabled(true);
    c_.nome->clear();
    c_.grupo->show();
    if (d_.novoFocaNome)
        c_.nome->setFocus();
}

void RegistroSimples::btCancelarClick()
{
    fecha();
    c_.nome->clear();
    if (d_.grupoDesabilitadoForaDoNovo)
        c_.grupo->setEnabled(false);
    c_.grupo->hide();
    c_.grade->setFocus();
}

void RegistroSimples::btSalvarClick()
{
    // A name of blanks only is no name.
    if (c_.nome->text().trimmed().isEmpty()) {
        mostra(d_.mensagemNomeVazio);
        c_.nome->setFocus();
        return;
    }
    const WriteResult resultado = dados().insereCadastro(d_.cadastro, c_.nome->text(), d_.prefixoFalhaInsercao);
    if (resultado) {
        c_.nome->clear();
        c_.grupo->hide();
        c_.grade->setFocus();
    } else {
        mostra(resultado.message);
    }
    fecha();
}

void RegistroSimples::btExcluirClick()
{
    const QModelIndex atual = c_.grade->currentIndex();
    // An empty list has nothing to delete.
    if (!atual.isValid())
        return;
    const int chave = dados().chaveDaLinha(d_.cadastro, atual.row());
    if (chave == 1) {
        mostra(QStringLiteral("Registro somente leitura, não é possível excluir!"));
        return;
    }
    if (!pergunta(d_.perguntaExclusao))
        return;
    const WriteResult resultado = dados().apagaCadastro(d_.cadastro, chave, QString());
    if (resultado)
        return;
    if (!d_.textoEmUso.isEmpty() && resultado.sqlCode == norvel::db::DbError::ForeignKeyViolation)
        mostra(d_.textoEmUso, MessagePresenter::Icon::Error, QStringLiteral("Erro"));
    else if (d_.falhaExclusaoComCodigo)
        mostra(d_.prefixoFalhaExclusao + QStringLiteral("\n Cod: ") + QString::number(resultado.sqlCode) + u'-'
                   + resultado.message,
               MessagePresenter::Icon::Error, QStringLiteral("Erro"));
    else
        mostra(d_.prefixoFalhaExclusao + resultado.message);
}

void RegistroSimples::btSairClick() { close(); }
