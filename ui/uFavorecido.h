#pragma once

#include "RegistroSimples.h"

#include <memory>

namespace Ui {
class TfrmFavorecido;
}

// The payees the cheque screens offer to choose from.
class TfrmFavorecido : public RegistroSimples {
    Q_OBJECT

public:
    TfrmFavorecido(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmFavorecido() override;

private:
    std::unique_ptr<Ui::TfrmFavorecido> ui;
};
