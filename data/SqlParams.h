#pragma once

#include <QString>
#include <QStringList>

namespace norvel::db {

// A statement text with ":Name" parameters rewritten for the client API,
// which only knows positional "?" markers.
struct PositionalSql {
    QString text;        // ":Name" replaced by "?", a final ";" dropped
    QStringList names;   // the parameter names in order of appearance
};

PositionalSql toPositional(const QString& sql);

} // namespace norvel::db
