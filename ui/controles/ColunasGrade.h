#pragma once

#include <QList>
#include <QString>

class QTableView;

namespace norvel::db {
class DbQuery;
}

// One column a grid shows: the list's field, its title (empty: the list's
// label of the field) and its width in pixels (0: the default, or wider when
// the title needs it).
struct ColunaGrade {
    QString campo;
    QString titulo = {};
    int largura = 0;
};

// Binds grid to list as a read-only, whole-row, single-selection grid that
// shows only colunas, in their order and with their titles, also after the
// list is reopened. Each reopening puts the grid on the first row, as a data
// set is after it opens.
void configuraGrade(QTableView *grade, norvel::db::DbQuery &lista, const QList<ColunaGrade> &colunas);
