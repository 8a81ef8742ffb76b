#pragma once

#include <QWidget>

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

signals:
    void clicked(UpDown::Button button);

private:
    QToolButton *up_;
    QToolButton *down_;
};
