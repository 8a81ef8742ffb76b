#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class TfrmSobre;
}

// The About box: the program's version and dates.
class TfrmSobre : public QWidget {
    Q_OBJECT

public:
    explicit TfrmSobre(QWidget *parent = nullptr);
    ~TfrmSobre() override;

private:
    std::unique_ptr<Ui::TfrmSobre> ui;
};
