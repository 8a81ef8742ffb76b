#pragma once

class TdmNorvelCheque;

// At the program's normal close: today's safe copy of the register the data
// module was given (see data/CopiaSeguranca.h), none when it was given no
// register. A copy that fails is reported in one box and closing goes on.
void copiaAoFechar(const TdmNorvelCheque &dados);
