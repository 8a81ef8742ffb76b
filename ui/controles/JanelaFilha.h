#pragma once

#include "JanelaBase.h"

#include <QWidget>

// Base of the windows the main window holds: each frees itself when closed.
class JanelaFilha : public JanelaBase<QWidget> {
    Q_OBJECT

protected:
    JanelaFilha(const Contexto &contexto, QWidget *parent);
};
