#pragma once

#include "ReportDataSet.h"
#include "ReportEngine.h"

#include <QList>
#include <QString>

class QAbstractItemModel;
class QWidget;

namespace norvel::report {

// Every file format, in the order "Output Options" lists them.
QList<FileFormat> todosOsFormatos();

// Runs the report file arquivo over dados: loads and checks the file (a
// missing or broken file, or a field dados lacks, is shown as a message and
// nothing else happens), asks "Output Options" and sends the report to the
// printer, the preview or a file in one of formatos. Every window goes
// through the message seam. True when something was printed or saved; false
// at once when called while another report runs.
bool executaRelatorio(const QString &arquivo, DataSet &dados,
                      const QList<FileFormat> &formatos = todosOsFormatos(), QWidget *parent = nullptr);
// Over an item model, its fields named by its header (see ModelDataSet).
bool executaRelatorio(const QString &arquivo, QAbstractItemModel &dados,
                      const QList<FileFormat> &formatos = todosOsFormatos(), QWidget *parent = nullptr);
// Over a query that names its fields (the data module's DbQuery), hidden
// fields included.
template <FieldQuery Q>
bool executaRelatorio(const QString &arquivo, Q &dados, const QList<FileFormat> &formatos = todosOsFormatos(),
                      QWidget *parent = nullptr)
{
    QueryDataSet<Q> conjunto(dados);
    return executaRelatorio(arquivo, static_cast<DataSet &>(conjunto), formatos, parent);
}

// Without any window: the report file arquivo over dados written to destino.
// False and the message in erro (empty after a cancel) otherwise.
bool gravaRelatorio(const QString &arquivo, DataSet &dados, FileFormat formato, const QString &destino,
                    QString *erro, Progress *progresso = nullptr);

} // namespace norvel::report
