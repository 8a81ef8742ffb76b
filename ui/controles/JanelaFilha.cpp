#include "JanelaFilha.h"

#include <QShowEvent>

JanelaFilha::JanelaFilha(const Contexto &contexto, QWidget *parent)
    : QWidget(parent), contexto_(contexto), regrasSaida_(new RegrasSaida(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void JanelaFilha::mostra(const QString &texto, MessagePresenter::Icon icone, const QString &titulo)
{
    messages().show(titulo, texto, icone);
}

bool JanelaFilha::pergunta(const QString &texto, const QString &titulo)
{
    return messages().ask(titulo, texto);
}

void JanelaFilha::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!mostrada_) {
        mostrada_ = true;
        executaProtegido([this] { FormShow(); });
    }
}
