#include "JanelaFilha.h"

JanelaFilha::JanelaFilha(const Contexto &contexto, QWidget *parent) : JanelaBase(contexto, parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}
