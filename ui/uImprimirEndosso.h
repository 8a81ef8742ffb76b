#pragma once

#include "JanelaFilha.h"

#include <QStringList>

#include <memory>

namespace Ui {
class TfrmImprimirEndosso;
}

// Prints a free endorsement text on the cheque in the printer, line by line
// as the editor shows it, and ejects the cheque. A new window for every
// "Endosso" command.
class TfrmImprimirEndosso : public JanelaFilha {
    Q_OBJECT

public:
    TfrmImprimirEndosso(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmImprimirEndosso() override;

    static constexpr int MaxLinhas = 20;
    static constexpr int MaxCaracteres = 1500;

    // The lines as the editor shows them, each wrapped line one line; none
    // for an empty editor.
    QStringList linhasExibidas() const;

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;
    void keyPressEvent(QKeyEvent *evento) override;

private:
    void btImprimirClick();
    void btSairClick();

    // Before a key takes effect in the editor: true when the editor holds
    // more than the limit, whose lines beyond it it removes; the key is then
    // dropped.
    bool LimitaLinhas();
    void ImprimeEndosso();
    // Keeps the text within MaxCaracteres, whatever put it there (typing,
    // pasting, dropping): what the last edit added beyond the limit goes.
    void limitaTamanho();

    std::unique_ptr<Ui::TfrmImprimirEndosso> ui;
    // Where the text the last edit added ends.
    int fimInsercao_ = 0;
};
