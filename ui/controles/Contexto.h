#pragma once

#include <QString>

class TdmNorvelCheque;

// What the main window holds for the other windows: the printer's port
// number (3 for "COM3"), the default city and the data module. Windows keep
// a reference and read it at the moment of use, so a saved change applies
// at once; tests hand over one of their own.
struct Contexto {
    int portaCOM = 0;
    QString cidadePadrao;
    // Set once the data module exists; null in tests of windows that read
    // no data.
    TdmNorvelCheque *dados = nullptr;
};
