#include "DbError.h"

namespace norvel::db {

DbError::DbError(QString message, int sqlCode, QString sqlState)
    : std::runtime_error(message.toStdString()),
      message_(std::move(message)),
      sqlCode_(sqlCode),
      sqlState_(std::move(sqlState))
{
}

} // namespace norvel::db
