#include "CaixaBusca.h"

#include "DbQuery.h"
#include "uDMNorvelCheque.h"

#include <QApplication>
#include <QKeyEvent>

CaixaBusca::CaixaBusca(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
}

void CaixaBusca::liga(norvel::db::DbQuery &lista, const QString &campoChave, const QString &campoMostrado)
{
    lista_ = &lista;
    campoChave_ = campoChave;
    setModel(&lista);
    mostraCampo_ = campoMostrado;
    ajustaColuna();
    // A reopen is a close and an open, each a reset: the key is the one of
    // the last open result. Connected after the box's own handlers, which
    // pick the first row.
    connect(&lista, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (lista_->isActive())
            chaveAntes_ = chave();
    });
    connect(&lista, &QAbstractItemModel::modelReset, this, [this] {
        ajustaColuna();
        escolhe(chaveAntes_);
    });
    limpa();
}

// The shown field's column is known once the list is open.
void CaixaBusca::ajustaColuna()
{
    const int coluna = lista_->columnOf(mostraCampo_);
    if (coluna >= 0)
        setModelColumn(coluna);
}

std::optional<int> CaixaBusca::chaveInteira() const
{
    const QVariant valor = chave();
    return valor.isValid() ? std::optional<int>(valor.toInt()) : std::nullopt;
}

QVariant CaixaBusca::campo(const QString &nome) const
{
    const int linha = currentIndex();
    if (!lista_ || linha < 0 || !lista_->isActive())
        return {};
    return lista_->value(linha, nome);
}

void CaixaBusca::escolhe(const QVariant &chave)
{
    setCurrentIndex(lista_ && chave.isValid() && lista_->isActive() ? lista_->locate(campoChave_, chave) : -1);
}

void CaixaBusca::hidePopup()
{
    QComboBox::hidePopup();
    emit listaFechada();
}

// The combo box's own search starts from the chosen row's cell, and from
// column 0 (the hidden key) when none is chosen, so it finds nothing there.
void CaixaBusca::keyPressEvent(QKeyEvent *event)
{
    const QString texto = event->text();
    if (!ultimaTecla_.isValid() || ultimaTecla_.hasExpired(QApplication::keyboardInputInterval()))
        digitado_.clear();
    // A blank goes on a name being typed; on its own it opens the list. Any
    // other key (an arrow, Tab) ends the name.
    if (!lista_ || texto.isEmpty() || !texto.at(0).isPrint() || (texto.at(0).isSpace() && digitado_.isEmpty())) {
        digitado_.clear();
        QComboBox::keyPressEvent(event);
        return;
    }
    digitado_ += texto;
    ultimaTecla_.start();
    const int linha = primeiraQueComeca(digitado_);
    if (linha >= 0 && linha != currentIndex()) {
        setCurrentIndex(linha);
        emit activated(linha);
    }
}

int CaixaBusca::primeiraQueComeca(const QString &texto)
{
    for (int linha = 0;; ++linha) {
        if (linha == lista_->rowCount() && lista_->canFetchMore())
            lista_->fetchMore();
        if (linha >= lista_->rowCount())
            return -1;
        if (lista_->index(linha, modelColumn()).data().toString().startsWith(texto, Qt::CaseInsensitive))
            return linha;
    }
}

void ligaCadastrosDoCheque(TdmNorvelCheque &dm, CaixaBusca *favorecido, CaixaBusca *centroCusto,
                           CaixaBusca *compensacao)
{
    favorecido->liga(dm.ListaFavorecidos, QStringLiteral("IDFAVORECIDO"), QStringLiteral("NOMEFAVORECIDO"));
    centroCusto->liga(dm.ListaCentroCustos, QStringLiteral("IDCENTROCUSTO"), QStringLiteral("NOMECENTROCUSTO"));
    compensacao->liga(dm.ListaCompensacao, QStringLiteral("IDCOMPENSACAO"), QStringLiteral("NOMECOMPENSACAO"));
}
