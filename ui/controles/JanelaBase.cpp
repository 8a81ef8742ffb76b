#include "JanelaBase.h"

#include <QDialog>
#include <QShowEvent>

template <class Base>
JanelaBase<Base>::JanelaBase(const Contexto &contexto, QWidget *parent, Qt::WindowFlags flags)
    : Base(parent, flags), contexto_(contexto), regrasSaida_(new RegrasSaida(this))
{
}

template <class Base>
void JanelaBase<Base>::mostra(const QString &texto, MessagePresenter::Icon icone, const QString &titulo)
{
    messages().show(titulo, texto, icone);
}

template <class Base>
bool JanelaBase<Base>::pergunta(const QString &texto, const QString &titulo)
{
    return messages().ask(titulo, texto);
}

template <class Base>
void JanelaBase<Base>::showEvent(QShowEvent *event)
{
    Base::showEvent(event);
    if (!mostrada_) {
        mostrada_ = true;
        executaProtegido([this] { FormShow(); });
    }
}

template class JanelaBase<QWidget>;
template class JanelaBase<QDialog>;
