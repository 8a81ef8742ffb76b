#include "DataLonga.h"

#include "ChequeCopyText.h"

#include <QCalendarWidget>

namespace {

const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
const QString formatoLongo = QStringLiteral("d 'de' MMMM 'de' yyyy");

} // namespace

DataLonga::DataLonga(QWidget *parent) : QDateTimeEdit(QDateTime::currentDateTime(), parent)
{
    setLocale(brasil);
    setDisplayFormat(formatoLongo);
    setCalendarPopup(true);
    calendarWidget()->setLocale(brasil);
}

QString DataLonga::formata(const QDate &data)
{
    return longDatePtBr(data);
}
