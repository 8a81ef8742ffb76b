#include "uSobre.h"
#include "ui_uSobre.h"

TfrmSobre::TfrmSobre(const Contexto &contexto, QWidget *parent)
    : JanelaFilha(contexto, parent), ui(std::make_unique<Ui::TfrmSobre>())
{
    ui->setupUi(this);
    setFixedSize(500, 130);
    ui->imgSobre->carrega(QStringLiteral(":/sobre.svg"));
    connect(ui->btSair, &QPushButton::clicked, this, &QWidget::close);
}

TfrmSobre::~TfrmSobre() = default;
