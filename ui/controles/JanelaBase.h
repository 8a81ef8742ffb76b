#pragma once

#include "Contexto.h"
#include "MessagePresenter.h"
#include "Protege.h"
#include "RegrasSaida.h"
#include "TituloPrograma.h"

#include <QAbstractButton>
#include <QWidget>

#include <utility>

class QShowEvent;

// What every window of the program shares, Base being QWidget for a child
// window of the main window and QDialog for a modal dialog: the context it
// was given, FormShow() on its first showing (restoring a minimised window
// keeps its boxes), the program's boxes, the rules run when its boxes are
// left, and handlers connected through liga() and comando(), so that no
// exception leaves a handler and a click on a command does not count as
// leaving a box.
template <class Base>
class JanelaBase : public Base {
public:
    const Contexto &contexto() const { return contexto_; }
    // The data module of the context.
    TdmNorvelCheque &dados() const { return *contexto_.dados; }

protected:
    JanelaBase(const Contexto &contexto, QWidget *parent, Qt::WindowFlags flags = {});

    virtual void FormShow() {}

    // A plain box under the program's title, or with the title given.
    static void mostra(const QString &texto, MessagePresenter::Icon icone = MessagePresenter::Icon::None,
                       const QString &titulo = TituloPrograma);
    static bool pergunta(const QString &texto, const QString &titulo = TituloPrograma);

    RegrasSaida &regrasSaida() { return *regrasSaida_; }

    // Connects a handler to a signal, guarded: a member function of the
    // window, or any callable, taking the signal's arguments or the first
    // few of them.
    template <typename Emissor, typename Sinal, typename Janela, typename... Argumentos>
    void liga(Emissor *emissor, Sinal sinal, void (Janela::*tratador)(Argumentos...))
    {
        ligaProtegido(emissor, sinal, static_cast<Janela *>(this), tratador);
    }
    template <typename Emissor, typename Sinal, typename Tratador>
    void liga(Emissor *emissor, Sinal sinal, Tratador tratador)
    {
        ligaProtegido(emissor, sinal, this, std::move(tratador));
    }
    // A button's command: liga() to clicked, and its click leaves no box.
    template <typename Janela>
    void comando(QAbstractButton *botao, void (Janela::*tratador)())
    {
        regrasSaida_->registraComando(botao);
        liga(botao, &QAbstractButton::clicked, tratador);
    }

    void showEvent(QShowEvent *event) override;

private:
    const Contexto &contexto_;
    RegrasSaida *regrasSaida_;
    bool mostrada_ = false;
};
