#pragma once

#include "RegistroSimples.h"

#include <memory>

namespace Ui {
class TfrmCompensacao;
}

// The clearing types a cheque can be given.
class TfrmCompensacao : public RegistroSimples {
    Q_OBJECT

public:
    TfrmCompensacao(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmCompensacao() override;

private:
    std::unique_ptr<Ui::TfrmCompensacao> ui;
};
