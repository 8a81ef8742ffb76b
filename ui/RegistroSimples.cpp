#include "RegistroSimples.h"

#include "ColunasGrade.h"
#include "MessagePresenter.h"
#include "uDMNorvelCheque.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>

namespace {

const QString Titulo = QStringLiteral("Norvel Cheque");

void mostra(const QString &texto)
{
    messages().show(Titulo, texto, MessagePresenter::Icon::None);
}

} // namespace

RegistroSimples::RegistroSimples(Descricao descricao, QWidget *parent)
    : QWidget(parent), d_(std::move(descricao))
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void RegistroSimples::liga(const Controles &controles)
{
    c_ = controles;
    setFixedWidth(width());
    fecha();
    connect(c_.btNovo, &QPushButton::clicked, this, &RegistroSimples::btNovoClick);
    connect(c_.btExcluir, &QPushButton::clicked, this, &RegistroSimples::btExcluirClick);
    connect(c_.btSair, &QPushButton::clicked, this, &RegistroSimples::btSairClick);
    connect(c_.btSalvar, &QPushButton::clicked, this, &RegistroSimples::btSalvarClick);
    connect(c_.btCancelar, &QPushButton::clicked, this, &RegistroSimples::btCancelarClick);
    if (d_.grupoDesabilitadoForaDoNovo)
        c_.grupo->setEnabled(false);
    else
        c_.grupo->hide();
    if (dmNorvelCheque)
        configuraGrade(c_.grade, lista(),
                       {{d_.campoNome, QStringLiteral("Nome"), 304}});
}

norvel::db::DbQuery &RegistroSimples::lista() const { return dmNorvelCheque->*d_.lista; }

void RegistroSimples::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!mostrada_) {
        mostrada_ = true;
        FormShow();
    }
}

void RegistroSimples::closeEvent(QCloseEvent *event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void RegistroSimples::fecha() { setFixedHeight(d_.alturaFechada); }

void RegistroSimples::abre() { setFixedHeight(AlturaAberta); }

void RegistroSimples::FormShow() { fecha(); }

void RegistroSimples::FormClose() { setAttribute(Qt::WA_DeleteOnClose); }

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
    if (c_.nome->text().isEmpty()) {
        mostra(d_.mensagemNomeVazio);
        c_.nome->setFocus();
        return;
    }
    TdmNorvelCheque &dm = *dmNorvelCheque;
    const WriteResult resultado =
        dm.gravar(dm.*d_.spInsere, {{d_.campoNome, c_.nome->text()}}, d_.prefixoFalhaInsercao, {&lista()});
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
    const int chave = lista().value(atual.row(), d_.campoChave).toInt();
    if (chave == 1) {
        mostra(QStringLiteral("Registro somente leitura, não é possível excluir!"));
        return;
    }
    if (!messages().ask(Titulo, d_.perguntaExclusao))
        return;
    TdmNorvelCheque &dm = *dmNorvelCheque;
    const WriteResult resultado = dm.gravar(dm.*d_.spApaga, {{d_.campoChave, chave}}, QString(), {&lista()});
    if (resultado)
        return;
    if (!d_.textoEmUso.isEmpty() && resultado.sqlCode == norvel::db::DbError::ForeignKeyViolation)
        messages().show(QStringLiteral("Erro"), d_.textoEmUso, MessagePresenter::Icon::Error);
    else if (d_.falhaExclusaoComCodigo)
        messages().show(QStringLiteral("Erro"),
                        d_.prefixoFalhaExclusao + QStringLiteral("\n Cod: ") + QString::number(resultado.sqlCode)
                            + u'-' + resultado.message,
                        MessagePresenter::Icon::Error);
    else
        mostra(d_.prefixoFalhaExclusao + resultado.message);
}

void RegistroSimples::btSairClick() { close(); }
