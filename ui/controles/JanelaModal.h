#pragma once

#include "JanelaBase.h"

#include <QDialog>

// Base of the modal dialogs that windows fill and show (the cheque viewer,
// the printing run, the series viewer): a fixed frame with a close button,
// owned by the window that opens it.
class JanelaModal : public JanelaBase<QDialog> {
    Q_OBJECT

public:
    // Runs the dialog modally through the message seam; its result.
    int executa();

protected:
    JanelaModal(const Contexto &contexto, QWidget *parent);
};
