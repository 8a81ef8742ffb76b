#pragma once

#include <QObject>
#include <QString>

#include <concepts>
#include <functional>

// Runs an event handler so that no exception leaves it: Qt leaves an
// exception thrown through a slot undefined. A database error or any other
// std::exception becomes the program's general error report and the program
// goes on. Returns false when the handler ended in such an error.
bool executaProtegido(const std::function<void()> &tratador);

// Connects a handler to a signal, run through executaProtegido while
// contexto lives. The handler takes the signal's arguments, or as many of
// the first ones as it names (none, say).
template <typename Emissor, typename Sinal, typename Tratador>
void ligaProtegido(Emissor *emissor, Sinal sinal, const QObject *contexto, Tratador tratador)
{
    // The constraint lets Qt find how many of the signal's arguments the
    // handler takes.
    QObject::connect(emissor, sinal, contexto,
                     [tratador = std::move(tratador)](const auto &...argumentos)
                         requires std::invocable<const Tratador &, decltype(argumentos)...>
                     { executaProtegido([&] { std::invoke(tratador, argumentos...); }); });
}

// The same for a member function of objeto.
template <typename Emissor, typename Sinal, typename Objeto, typename... Argumentos>
void ligaProtegido(Emissor *emissor, Sinal sinal, Objeto *objeto, void (Objeto::*tratador)(Argumentos...))
{
    ligaProtegido(emissor, sinal, objeto,
                  [objeto, tratador](Argumentos... argumentos) { (objeto->*tratador)(argumentos...); });
}
