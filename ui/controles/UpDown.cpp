#include "UpDown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

UpDown::UpDown(QWidget *parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *button : {up_, down_}) {
        // Clicking the arrows leaves the focus where it is, so the box being
        // stepped does not run its leave rule on every click.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setIconSize(QSize(7, 4));
        layout->addWidget(button);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    setFocusPolicy(Qt::NoFocus);
    connect(up_, &QToolButton::clicked, this, [this] { click(Button::Up); });
    connect(down_, &QToolButton::clicked, this, [this] { click(Button::Down); });
}

void UpDown::click(Button button) { emit clicked(button); }

void UpDown::associa(QLineEdit *caixa, int minimo, int maximo)
{
    connect(this, &UpDown::clicked, caixa, [caixa, minimo, maximo](Button button) {
        bool numero = false;
        const int valor = caixa->text().toInt(&numero);
        const int passo = button == Button::Up ? 1 : -1;
        caixa->setText(QString::number(numero ? std::clamp(valor + passo, minimo, maximo) : minimo));
    });
}
