#pragma once

#include <QChar>

#include <functional>

class QLineEdit;

// A key filter of a box: given the typed character, leaves it or turns it
// into QChar() to refuse it (the shape of FiltraTeclaNumerica).
using RegraTecla = std::function<void(QChar &)>;

// Passes every character typed into caixa through regra; a refused one is
// not typed. Movement, Tab, Delete and shortcuts are not typing and pass.
void filtraTeclas(QLineEdit *caixa, RegraTecla regra);

// Digits, backspace and 127 (FiltraTeclaNumerica).
void filtraDigitos(QLineEdit *caixa);
// The account box: digits, backspace, 127 and the hyphen.
void filtraConta(QLineEdit *caixa);
