#pragma once

#include <QString>

// The program's title: its application name, the caption of its message
// boxes and the creator named in the files it writes.
inline const QString TituloPrograma = QStringLiteral("Norvel Cheque");
