#include "ColunasGrade.h"

#include "DbQuery.h"

#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QTableView>

#include <algorithm>

namespace {

// Gives the grid its own titles without touching the shared list, which
// other screens show with the list's labels.
class TitulosGrade : public QIdentityProxyModel {
public:
    TitulosGrade(norvel::db::DbQuery &lista, const QList<ColunaGrade> &colunas, QObject *parent)
        : QIdentityProxyModel(parent), lista_(lista), colunas_(colunas)
    {
        setSourceModel(&lista);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            const ColunaGrade *coluna = colunaDe(section);
            if (coluna && !coluna->titulo.isEmpty())
                return coluna->titulo;
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }

    const ColunaGrade *colunaDe(int section) const
    {
        const QString campo = lista_.fieldOfColumn(section);
        for (const ColunaGrade &coluna : colunas_) {
            if (coluna.campo.compare(campo, Qt::CaseInsensitive) == 0)
                return &coluna;
        }
        return nullptr;
    }

    // Hides what the grid does not list and orders the rest; the header
    // forgets both whenever the list is reset.
    void arruma(QTableView *grade) const
    {
        QHeaderView *cabecalho = grade->horizontalHeader();
        for (int coluna = 0; coluna < columnCount(); ++coluna)
            grade->setColumnHidden(coluna, colunaDe(coluna) == nullptr);
        int posicao = 0;
        for (const ColunaGrade &coluna : colunas_) {
            const int indice = lista_.columnOf(coluna.campo);
            if (indice < 0)
                continue;
            cabecalho->moveSection(cabecalho->visualIndex(indice), posicao++);
            grade->setColumnWidth(indice, coluna.largura > 0 ? coluna.largura
                                                             : std::max(cabecalho->defaultSectionSize(),
                                                                        cabecalho->sectionSizeHint(indice)));
        }
        if (rowCount() > 0)
            grade->setCurrentIndex(index(0, lista_.columnOf(colunas_.first().campo)));
    }

private:
    norvel::db::DbQuery &lista_;
    QList<ColunaGrade> colunas_;
};

} // namespace

void configuraGrade(QTableView *grade, norvel::db::DbQuery &lista, const QList<ColunaGrade> &colunas)
{
    auto *titulos = new TitulosGrade(lista, colunas, grade);
    grade->setModel(titulos);
    grade->setSelectionBehavior(QAbstractItemView::SelectRows);
    grade->setSelectionMode(QAbstractItemView::SingleSelection);
    grade->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grade->verticalHeader()->hide();
    grade->verticalHeader()->setDefaultSectionSize(grade->fontMetrics().height() + 6);
    grade->setTabKeyNavigation(false);
    QObject::connect(titulos, &QAbstractItemModel::modelReset, grade, [titulos, grade] { titulos->arruma(grade); });
    titulos->arruma(grade);
}
