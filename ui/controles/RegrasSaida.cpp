#include "RegrasSaida.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QWidget>

RegrasSaida::RegrasSaida(QWidget *janela) : QObject(janela), janela_(janela) {}

void RegrasSaida::registra(QWidget *caixa, Regra regra)
{
    regras_.insert(caixa, std::move(regra));
    caixa->installEventFilter(this);
}

void RegrasSaida::registraComando(QAbstractButton *botao)
{
    comandos_.append(botao);
}

bool RegrasSaida::cliqueEmComando() const
{
    for (const QPointer<QAbstractButton> &botao : comandos_)
        if (botao && botao->underMouse())
            return true;
    return false;
}

bool RegrasSaida::eventFilter(QObject *objeto, QEvent *evento)
{
    if (evento->type() == QEvent::FocusOut && regras_.contains(objeto)) {
        const Qt::FocusReason motivo = static_cast<QFocusEvent *>(evento)->reason();
        const bool outraJanela = motivo == Qt::ActiveWindowFocusReason || motivo == Qt::PopupFocusReason;
        if (!outraJanela && !(motivo == Qt::MouseFocusReason && cliqueEmComando()))
            executa(static_cast<QWidget *>(objeto));
    }
    return QObject::eventFilter(objeto, evento);
}

void RegrasSaida::executa(QWidget *caixa)
{
    switch (regras_.value(caixa)()) {
    case Resultado::Aceito:
        break;
    case Resultado::Recusado:
        recusou_ = true;
        caixa->setFocus();
        break;
    case Resultado::Aviso:
        caixa->setFocus();
        break;
    }
}

bool RegrasSaida::saiDaCaixaEditada(QWidget *destino)
{
    // A box that still holds the real focus hears the move and runs its rule
    // then; one that lost it to the frame (or to an inactive window) does
    // not, so its rule runs here.
    QWidget *editada = janela_->focusWidget();
    const bool avisada = editada && editada->hasFocus();
    recusou_ = false;
    destino->setFocus();
    if (!avisada && editada && editada != destino && regras_.contains(editada))
        executa(editada);
    return !recusou_;
}
