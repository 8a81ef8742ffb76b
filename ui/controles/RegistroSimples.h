#pragma once

#include "JanelaFilha.h"

#include <QString>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableView;
enum class Cadastro;

// What the payee, cost-centre and clearing-type screens share: a list of
// names with its key, an entry group that opens below the list to add one,
// and deleting the selected entry. Each screen says in a Descricao where it
// differs and hands over its controls.
class RegistroSimples : public JanelaFilha {
    Q_OBJECT

public:
    struct Descricao {
        Cadastro cadastro;
        QString campoNome;   // "NOMECENTROCUSTO", the grid's one column
        int tamanhoNome;     // characters the name column holds
        int alturaFechada;   // the list and its buttons only
        // True: the group is disabled until "Novo" and again after
        // "Cancelar", and shown from the start (below the collapsed window).
        // False: always enabled, hidden until "Novo".
        bool grupoDesabilitadoForaDoNovo;
        bool novoFocaNome;
        QString mensagemNomeVazio;
        QString prefixoFalhaInsercao;
        QString perguntaExclusao;
        // The text when a cheque still uses the entry (SQL code -530); empty
        // when the screen does not tell that case apart.
        QString textoEmUso;
        QString prefixoFalhaExclusao;
        // True: other delete failures go to an "Erro" box with the error's
        // code; false: to a plain box, prefix and message run together.
        bool falhaExclusaoComCodigo;
    };

    struct Controles {
        QTableView *grade;
        QGroupBox *grupo;
        QLineEdit *nome;
        QPushButton *btNovo;
        QPushButton *btExcluir;
        QPushButton *btSair;
        QPushButton *btSalvar;
        QPushButton *btCancelar;
    };

    static constexpr int AlturaAberta = 292;

protected:
    RegistroSimples(Descricao descricao, const Contexto &contexto, QWidget *parent);
    // Called by the screen once its form is set up.
    void ligaControles(const Controles &controles);

    void FormShow() override;
    void btNovoClick();
    void btSalvarClick();
    void btCancelarClick();
    void btExcluirClick();
    void btSairClick();

private:
    void fecha();
    void abre();

    Descricao d_;
    Controles c_{};
};
