#include "DbError.h"

namespace norvel::db {

DbError::DbError(QString message, int sqlCode, QString sqlState, bool connectionLost)
    : std::runtime_error(message.toStdString()),
      message_(std::move(message)),
      sqlCode_(sqlCode),
      sqlState_(std::move(sqlState)),
      connectionLost_(connectionLost)
{
}

} // namespace norvel::db
