#include "UnExtenso.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::array<const char*, 10> kUnidades = {
    "", "UM", "DOIS", "TRES", "QUATRO", "CINCO", "SEIS", "SETE", "OITO", "NOVE"};
constexpr std::array<const char*, 10> kDezenaDez = {
    "DEZ", "ONZE", "DOZE", "TREZE", "QUATORZE",
    "QUINZE", "DEZESSEIS", "DEZESSETE", "DEZOITO", "DEZENOVE"};
constexpr std::array<const char*, 10> kDezenas = {
    "", "", "VINTE", "TRINTA", "QUARENTA",
    "CINQUENTA", "SESSENTA", "SETENTA", "OITENTA", "NOVENTA"};
constexpr std::array<const char*, 10> kCentenas = {
    "", "CEM", "DUZENTOS", "TREZENTOS", "QUATROCENTOS",
    "QUINHENTOS", "SEISCENTOS", "SETECENTOS", "OITOCENTOS", "NOVECENTOS"};

// Twelve digits of reais and two of centavos: amounts from 10^12 reais on
// keep only their last twelve integer digits.
constexpr int kDigitosReais = 12;
constexpr double kLimiteCentavos = 1e14;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int groupValue(std::string_view group)
{
    return (group[0] - '0') * 100 + (group[1] - '0') * 10 + (group[2] - '0');
}

// The amount as 15 digit characters (reais then centavos, no separator).
// Rounding to whole centavos first makes 0.29 read as 29 centavos although
// the double holds 0.28999...; nothing here depends on the locale.
std::string centavosDigits(std::uint64_t value)
{
    value %= static_cast<std::uint64_t>(kLimiteCentavos);
    std::string digits(kDigitosReais + 2, '0');
    for (auto it = digits.rbegin(); it != digits.rend() && value > 0; ++it) {
        *it = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return digits;
}

} // namespace

std::string ExtensoCentena(std::string_view group)
{
    if (group.size() != 3 || !isDigit(group[0]) || !isDigit(group[1]) || !isDigit(group[2]))
        return {};
    const int h = group[0] - '0';
    const int t = group[1] - '0';
    const int u = group[2] - '0';

    std::string result;
    if (h != 0)
        result = (h == 1 && group > "100") ? "CENTO" : kCentenas[h];
    if (t == 1) {
        if (!result.empty())
            result += " E ";
        result += kDezenaDez[u];
        return result;
    }
    if (t > 1) {
        if (!result.empty())
            result += " E ";
        result += kDezenas[t];
    }
    if (u > 0) {
        if (!result.empty())
            result += " E ";
        result += kUnidades[u];
    }
    return result;
}

std::string Extenso(double amount)
{
    if (!std::isfinite(amount))
        return {};
    const double cents = std::fmod(std::round(std::fabs(amount) * 100.0), kLimiteCentavos);
    return ExtensoCentavos(static_cast<std::int64_t>(cents));
}

std::string ExtensoCentavos(std::int64_t amount)
{
    // The magnitude, also of the most negative value.
    const std::uint64_t value = amount < 0 ? std::uint64_t(0) - std::uint64_t(amount) : std::uint64_t(amount);
    const std::string digits = centavosDigits(value);
    const std::string_view view(digits);
    const std::string_view bilhoes = view.substr(0, 3);
    const std::string_view milhoes = view.substr(3, 3);
    const std::string_view milhares = view.substr(6, 3);
    const std::string_view unidades = view.substr(9, 3);
    const std::string_view centavos = view.substr(12, 2);

    if (digits.find_first_not_of('0') == std::string::npos)
        return "ZERO";

    const bool temCentavos = centavos != "00";
    const bool temReais = view.substr(0, kDigitosReais).find_first_not_of('0') != std::string_view::npos;

    std::string result;
    if (temReais) {
        result = ExtensoCentena(bilhoes);
        if (groupValue(bilhoes) == 1)
            result += " BILHAO";
        else if (!result.empty())
            result += " BILHOES";

        std::string words = ExtensoCentena(milhoes);
        if (!words.empty()) {
            if (!result.empty())
                result += ", ";
            result += words + (groupValue(milhoes) == 1 ? " MILHAO" : " MILHOES");
        }

        words = ExtensoCentena(milhares);
        if (!words.empty()) {
            if (!result.empty())
                result += ", ";
            result += words + " MIL";
        }

        words = ExtensoCentena(unidades);
        if (!words.empty()) {
            if (!result.empty())
                result += temCentavos ? ", " : " E ";
            result += words;
        }

        const bool umReal = view.substr(0, kDigitosReais) == "000000000001";
        if (view.substr(6, 6) == "000000")
            result += " DE REAIS";
        else
            result += umReal ? " REAL" : " REAIS";
    }

    std::string words = ExtensoCentena(std::string("0") + std::string(centavos));
    if (!words.empty()) {
        if (!result.empty())
            result += " E ";
        result += words + (words == "UM" ? " CENTAVO" : " CENTAVOS");
    }
    return result;
}
