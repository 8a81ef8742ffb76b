#pragma once

#include <QString>

#include <initializer_list>

class QWidget;

// A box an entry window requires, with its name in the warning.
struct CampoObrigatorio {
    QWidget *caixa; // an edit box, or a look-up box by the text it shows
    QString nome;
};

// Checks the boxes in their order: the first empty one gets the focus and
// the warning "O Campo <nome> deve ser preenchido!" under the program's
// title, and the check fails there.
bool camposPreenchidos(std::initializer_list<CampoObrigatorio> campos);
