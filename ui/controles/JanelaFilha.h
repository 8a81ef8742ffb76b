#pragma once

#include "Contexto.h"
#include "MessagePresenter.h"
#include "Protege.h"
#include "RegrasSaida.h"

#include <QAbstractButton>
#include <QWidget>

// Base of the windows the main window holds: each frees itself when closed,
// runs FormShow() on its first showing (restoring a minimised window keeps
// its boxes), reads the port and the city from the context it was given,
// and connects its handlers through comando(), so that no exception leaves
// a handler and a click on a command does not count as leaving a box.
class JanelaFilha : public QWidget {
    Q_OBJECT

public:
    const Contexto &contexto() const { return contexto_; }
    // The data module of the context.
    TdmNorvelCheque &dados() const { return *contexto_.dados; }

protected:
    JanelaFilha(const Contexto &contexto, QWidget *parent);

    virtual void FormShow() {}

    // A plain box under the program's title, or with the title given.
    static void mostra(const QString &texto, MessagePresenter::Icon icone = MessagePresenter::Icon::None,
                       const QString &titulo = TituloPrograma);
    static bool pergunta(const QString &texto, const QString &titulo = TituloPrograma);

    RegrasSaida &regrasSaida() { return *regrasSaida_; }

    // Connects a handler without arguments to a signal, guarded.
    template <typename Emissor, typename Sinal, typename Janela>
    void liga(Emissor *emissor, Sinal sinal, void (Janela::*tratador)())
    {
        ligaProtegido(emissor, sinal, static_cast<Janela *>(this), tratador);
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
