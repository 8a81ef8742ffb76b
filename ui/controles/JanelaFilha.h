#pragma once

#include "JanelaBase.h"

#include <QWidget>

// Base of the windows the main window holds: each frees itself when closed.
class JanelaFilha : public JanelaBase<QWidget> {
    Q_OBJECT

signals:
    // A window opened from this one (a registry from an entry window), for
    // the main window to hold.
    void abreJanela(QWidget *janela);

protected:
    JanelaFilha(const Contexto &contexto, QWidget *parent);
};
