#include "UnExtenso.h"

std::string Extenso(double) { return {}; }
std::string ExtensoCentena(std::string_view) { return {}; }
