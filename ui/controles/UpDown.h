#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrow buttons beside a plain edit box, the way a spinner's
// arrows work without its edit field: the box keeps its own text rules and
// the owner of the box decides what a click writes into it.
class UpDown : public QWidget {
    Q_OBJECT

public:
    enum class Button { Up, Down };
    Q_ENUM(Button)

    explicit UpDown(QWidget *parent = nullptr);

    // Acts as a click on button.
    void click(Button button);

    // The arrows of a number box, as a spinner steps its field: each click
    // moves the box's number by one within minimo..maximo (a box without a
    // number goes to minimo) before the owner's handlers of clicked() run.
    void associa(QLineEdit *caixa, int minimo, int maximo);

signals:
    void clicked(UpDown::Button button);

private:
    QToolButton *up_;
    QToolButton *down_;
};
