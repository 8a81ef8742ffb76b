#pragma once

#include <QString>

namespace norvel::db {

// Directory of the running program's executable, with a trailing separator,
// whatever the working directory (works before a QCoreApplication exists).
QString executableDirectory();

// The user's data folder of the program, $XDG_DATA_HOME/norvelcheque
// (~/.local/share/norvelcheque), without a trailing separator; not made here.
QString pastaDadosUsuario();

} // namespace norvel::db
