#pragma once

#include "RegistroSimples.h"

#include <memory>

namespace Ui {
class TfrmCentroCusto;
}

// The cost centres a cheque can be booked to.
class TfrmCentroCusto : public RegistroSimples {
    Q_OBJECT

public:
    TfrmCentroCusto(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmCentroCusto() override;

private:
    std::unique_ptr<Ui::TfrmCentroCusto> ui;
};
