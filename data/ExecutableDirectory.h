#pragma once

#include <QString>

namespace norvel::db {

// Directory of the running program's executable, with a trailing separator,
// whatever the working directory (works before a QCoreApplication exists).
QString executableDirectory();

// The user's data folder of the program, $XDG_DATA_HOME/norvelcheque
// (~/.local/share/norvelcheque), without a trailing separator; not made here.
QString pastaDadosUsuario();

// The empty register the package puts beside the program; each user's
// register is copied from it on first start, it is never opened itself.
QString baseVaziaInstalada();

// Whether the program runs installed, where it cannot write beside itself:
// the packaged empty register is beside it and no register of its own is.
// A build folder holds base.fdb and never the empty one.
bool programaInstalado();

} // namespace norvel::db
