#pragma once

#include "JanelaFilha.h"

#include <memory>

namespace Ui {
class TfrmSobre;
}

// The About box: the program's version and dates.
class TfrmSobre : public JanelaFilha {
    Q_OBJECT

public:
    explicit TfrmSobre(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmSobre() override;

private:
    std::unique_ptr<Ui::TfrmSobre> ui;
};
