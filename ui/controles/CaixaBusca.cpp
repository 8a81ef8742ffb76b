#include "CaixaBusca.h"

#include "DbQuery.h"

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
