#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Runs an event handler so that no exception leaves it: Qt leaves an
// exception thrown through a slot undefined. A database error or any other
// std::exception becomes the program's general error report and the program
// goes on. Returns false when the handler ended in such an error.
bool executaProtegido(const std::function<void()> &tratador);

// Connects a handler without arguments of objeto to a signal, run through
// executaProtegido.
template <typename Emissor, typename Sinal, typename Objeto>
void ligaProtegido(Emissor *emissor, Sinal sinal, Objeto *objeto, void (Objeto::*tratador)())
{
    QObject::connect(emissor, sinal, objeto,
                     [objeto, tratador] { executaProtegido([&] { (objeto->*tratador)(); }); });
}

// The program's title, the caption of its message boxes.
inline const QString TituloPrograma = QStringLiteral("Norvel Cheque");
