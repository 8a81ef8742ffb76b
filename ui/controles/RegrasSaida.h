#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>

class QAbstractButton;
class QWidget;

// The rules a window runs when a box is left: a box registers its rule, the
// rule runs when the box loses the focus (Tab, a click elsewhere) and, once,
// when a command of the window leaves the box being edited. A rule that
// refuses the text keeps the focus in its box.
//
// Not leaving: another window coming forward (a message box among them),
// and a click on one of the window's command buttons. Those take no focus,
// but inside the main window the press hands the focus to the child window's
// frame; the command then leaves the box itself, through saiDaCaixaEditada(),
// at the point where its own steps say so.
class RegrasSaida : public QObject {
public:
    enum class Resultado {
        Aceito,   // the box may be left
        Aviso,    // shown its message; the focus goes back, a command goes on
        Recusado, // the focus goes back and the command stops
    };
    using Regra = std::function<Resultado()>;

    explicit RegrasSaida(QWidget *janela);

    void registra(QWidget *caixa, Regra regra);
    // A command button: its click does not leave the box being edited.
    void registraComando(QAbstractButton *botao);

    // Leaves the box being edited, if any, by moving the focus to destino;
    // its rule runs once whether the box still holds the focus or lost it
    // to the frame. False when the rule refused the text.
    bool saiDaCaixaEditada(QWidget *destino);

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void executa(QWidget *caixa);
    bool cliqueEmComando() const;

    QWidget *janela_;
    QHash<QObject *, Regra> regras_;
    QList<QPointer<QAbstractButton>> comandos_;
    bool recusou_ = false;
};
