#include "JanelaModal.h"

#include "DialogPresenter.h"

JanelaModal::JanelaModal(const Contexto &contexto, QWidget *parent)
    : JanelaBase(contexto, parent,
                 Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                     | Qt::WindowCloseButtonHint)
{
}

int JanelaModal::executa()
{
    return dialogs().runModal(*this);
}
