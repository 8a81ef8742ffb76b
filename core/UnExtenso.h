#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Brazilian Portuguese words, upper case and without accents, of an amount
// in reais, as written on a cheque ("UM MIL E CEM REAIS").
std::string Extenso(double amount);

// The same words of a whole number of centavos (sign ignored); exact for
// every amount, as no floating point is involved.
std::string ExtensoCentavos(std::int64_t centavos);

// Words of a group of exactly three decimal digits ("000" gives "").
std::string ExtensoCentena(std::string_view group);
