#pragma once

#include <QString>

// What the main window holds for the other windows: the printer's port
// number (3 for "COM3") and the default city. Windows keep a reference and
// read it at the moment of use, so a saved change applies at once; tests
// hand over one of their own.
struct Contexto {
    int portaCOM = 0;
    QString cidadePadrao;
};
