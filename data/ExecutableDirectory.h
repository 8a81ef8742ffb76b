#pragma once

#include <QString>

namespace norvel::db {

// Directory of the running program's executable, with a trailing separator,
// whatever the working directory (works before a QCoreApplication exists).
QString executableDirectory();

} // namespace norvel::db
