#pragma once

#include <string>
#include <string_view>

// Brazilian Portuguese words, upper case and without accents, of an amount
// in reais, as written on a cheque ("UM MIL E CEM REAIS").
std::string Extenso(double amount);

// Words of a group of exactly three decimal digits ("000" gives "").
std::string ExtensoCentena(std::string_view group);
