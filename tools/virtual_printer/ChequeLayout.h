#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// Positions of one bank's cheque fields as programmed into the printer: 18
// two-digit numbers, lines 1 to 20 and columns 0 to 80 of the cheque form.
class ChequeLayout {
public:
    enum Field {
        LinhaValor,
        ColIniValor,
        ColFimValor,
        LinhaExtenso1,
        ColIniExtenso1,
        ColFimExtenso1,
        LinhaExtenso2,
        ColIniExtenso2,
        ColFimExtenso2,
        LinhaFavorecido,
        ColIniFavorecido,
        ColFimFavorecido,
        LinhaCidade,
        ColFimCidade,
        ColIniNumCheque,
        ColIniDia,
        ColIniMes,
        ColIniAno,
        FieldCount
    };

    static constexpr std::size_t kDigits = FieldCount * 2;

    // The 36-digit form; anything else (wrong length, a non-digit) gives none.
    static std::optional<ChequeLayout> fromDigits(std::string_view digits);
    std::string digits() const;

    int operator[](Field field) const { return values_[field]; }

private:
    std::array<int, FieldCount> values_{};
};
