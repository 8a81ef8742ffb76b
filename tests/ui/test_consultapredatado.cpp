// The post-dated query window on a fresh database: the series listed and
// titled by the query shown, the series viewer filled from the selected row
// and answered through the seam, the list run again after it, and the report
// in its two file formats.

#include "BankLayout.h"
#include "DataLonga.h"
#include "RecordingPresenter.h"
#include "ReportWindows.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uConsultaPreDatado.h"
#include "uDMNorvelCheque.h"
#include "uPrincipal.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class TestConsultaPreDatado : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase()
    {
        dm_.reset();
        base_.reset();
    }
    void init() { caixas_ = std::make_unique<RecordingPresenter>(); }
    void cleanup();

    void listaDeHojeTituladaPelaConsulta();
    void favorecidoNaoDisponivelVazio();
    void canceladaNoVisorEListaAtualizada();
    void impressaComDataEReimprimir();
    void relatorioHtmlETexto();
    void umaSoJanelaSemMinimizar();

private:
    RegistroPreDatado serie(const QDate &data, const QString &valor, const QString &descricao) const;
    int insere(const RegistroPreDatado &s);
    void abre();
    // The grid's visible titles, in the grid's order.
    QStringList titulos() const;
    // Selects the row of the series and opens it; olha works the viewer.
    void visualiza(int idPreDatado, const std::function<void(QDialog &)> &olha);
    // The query shown after ExecutaConsulta by the period from inicial to final.
    void consultaPeriodo(const QDate &inicial, const QDate &final);
    template <typename T = QPushButton> T *controle(QObject *dono, const char *nome) const
    {
        T *achado = dono->findChild<T *>(QLatin1String(nome));
        if (!achado)
            qWarning("no control %s", nome);
        return achado;
    }

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<RecordingPresenter> caixas_;
    Contexto contexto_;
    TfrmConsultaPreDatado *janela_ = nullptr;
    int idBanco_ = 0;
    const QDate hoje_ = QDate::currentDate();
};

void TestConsultaPreDatado::initTestCase()
{
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
    contexto_.dados = dm_.get();
    const WriteResult banco = dm_->insereBanco(
        {0, QStringLiteral("237"), QStringLiteral("Banco Ação"), QStringLiteral("BA"), BankLayout().encode()}, {});
    QVERIFY2(banco, qPrintable(banco.message));
    idBanco_ = banco.chave;
}

void TestConsultaPreDatado::cleanup()
{
    if (janela_)
        janela_->close();
    janela_ = nullptr;
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

RegistroPreDatado TestConsultaPreDatado::serie(const QDate &data, const QString &valor,
                                               const QString &descricao) const
{
    RegistroPreDatado s;
    s.idBanco = idBanco_;
    s.agencia = QStringLiteral("1234");
    s.conta = QStringLiteral("5678-9");
    s.numInicialCheque = QStringLiteral("300");
    s.favorecido = QStringLiteral("José da Conceição");
    s.cidade = QStringLiteral("Maceió");
    s.valor = Money::parse(valor).value();
    s.dataInicialEmissao = data;
    s.numParcelas = 3;
    s.valorPeriodoImpressao = 1;
    s.periodoImpressao = QStringLiteral("Mês(es)");
    s.descricao = descricao;
    return s;
}

int TestConsultaPreDatado::insere(const RegistroPreDatado &s)
{
    const WriteResult r = dm_->inserePreDatado(s, {});
    if (!r)
        qWarning("%s", qPrintable(r.message));
    return r.chave;
}

void TestConsultaPreDatado::abre()
{
    janela_ = new TfrmConsultaPreDatado(contexto_);
    janela_->show();
}

QStringList TestConsultaPreDatado::titulos() const
{
    auto *grade = controle<QTableView>(janela_, "grdPreDatados");
    QStringList lista;
    for (int visual = 0; visual < grade->model()->columnCount(); ++visual) {
        const int coluna = grade->horizontalHeader()->logicalIndex(visual);
        if (!grade->isColumnHidden(coluna))
            lista << grade->model()->headerData(coluna, Qt::Horizontal).toString();
    }
    return lista;
}

void TestConsultaPreDatado::visualiza(int idPreDatado, const std::function<void(QDialog &)> &olha)
{
    auto *grade = controle<QTableView>(janela_, "grdPreDatados");
    norvel::db::DbQuery &consulta = *janela_->rvDSPredatado();
    const int linha = consulta.locate(QStringLiteral("IDPREDATADO"), idPreDatado);
    QVERIFY2(linha >= 0, "series not listed");
    grade->setCurrentIndex(grade->model()->index(linha, consulta.columnOf(QStringLiteral("DESCRICAO"))));
    caixas_->dialogs = {[olha](QDialog &visor) {
        olha(visor);
        return int(QDialog::Rejected);
    }};
    QTest::mouseClick(controle(janela_, "btVisualizar"), Qt::LeftButton);
    QCOMPARE(caixas_->dialogTitles, QStringList{QStringLiteral("Visualização dos Cheques Pré-datados")});
}

void TestConsultaPreDatado::consultaPeriodo(const QDate &inicial, const QDate &final)
{
    QTest::mouseClick(controle<QRadioButton>(janela_, "rdPeriodo"), Qt::LeftButton);
    controle<DataLonga>(janela_, "dtpDataInicial")->setDate(inicial);
    controle<DataLonga>(janela_, "dtpDataFinal")->setDate(final);
    QTest::mouseClick(controle(janela_, "btAtualizarConsulta"), Qt::LeftButton);
}

// Today's series at once, by date; by period three columns take that
// query's titles.
void TestConsultaPreDatado::listaDeHojeTituladaPelaConsulta()
{
    const int deHoje = insere(serie(hoje_, QStringLiteral("900,00"), QStringLiteral("Aluguel")));
    insere(serie(hoje_.addDays(-1), QStringLiteral("30,00"), QStringLiteral("Ontem")));
    abre();
    QCOMPARE(janela_->windowTitle(), QStringLiteral("Consulta por cheques pré-datados"));
    QCOMPARE(janela_->size(), QSize(1017, 617));
    QCOMPARE(janela_->rvDSPredatado(), &dm_->ConsultaPredatadoData);
    QCOMPARE(dm_->dsConsultaPreDatados, &dm_->ConsultaPredatadoData);
    norvel::db::DbQuery &consulta = dm_->ConsultaPredatadoData;
    QVERIFY(consulta.locate(QStringLiteral("IDPREDATADO"), deHoje) >= 0);
    const int deHojeListadas = consulta.rowCount();
    for (int linha = 0; linha < deHojeListadas; ++linha)
        QCOMPARE(consulta.value(linha, QStringLiteral("DATAINICIALEMISSAO")).toDate(), hoje_);

    const QStringList porData = {"Descrição", "Valor", "Nº de Parcelas", "Período de Impressão", "Status",
                                 "Nº do Banco", "Banco", "Conta Corrente", "Agencia", "Nº Inical do Cheque",
                                 "Data de Emissão", "Data de Impressão", "Favorecido", "Cidade", "De terceiros",
                                 "Já Impresso", "Centro de Custo", "Tipo de Compensação"};
    QCOMPARE(titulos(), porData);
    consultaPeriodo(hoje_.addDays(-1), hoje_);
    QCOMPARE(janela_->rvDSPredatado(), &dm_->ConsultaPredatadoPeriodo);
    QVERIFY(!dm_->ConsultaPredatadoData.isActive());
    QCOMPARE(dm_->ConsultaPredatadoPeriodo.rowCount(), deHojeListadas + 1);
    QStringList porPeriodo = porData;
    porPeriodo[8] = QStringLiteral("Agência");
    porPeriodo[9] = QStringLiteral("Nº do Cheque Inicial");
    porPeriodo[17] = QStringLiteral("Tipo da Compensação");
    QCOMPARE(titulos(), porPeriodo);
    if (!qEnvironmentVariableIsEmpty("NORVEL_CAPTURAS"))
        janela_->grab().save(qEnvironmentVariable("NORVEL_CAPTURAS") + QStringLiteral("/consulta-predatado.png"));
}

void TestConsultaPreDatado::favorecidoNaoDisponivelVazio()
{
    RegistroPreDatado s = serie(hoje_, QStringLiteral("450,00"), QStringLiteral("Sem favorecido"));
    s.favorecido = QStringLiteral("Não Disponível");
    const int id = insere(s);
    abre();
    QString favorecido = QStringLiteral("?");
    QString valor;
    QString cidade;
    visualiza(id, [&](QDialog &visor) {
        favorecido = controle<QLineEdit>(&visor, "edtFavorecido")->text();
        valor = controle<QLineEdit>(&visor, "edtValor")->text();
        cidade = controle<QLineEdit>(&visor, "edtCidade")->text();
    });
    QCOMPARE(favorecido, QString());
    QCOMPARE(valor, QStringLiteral("450,00"));
    QCOMPARE(cidade, QStringLiteral("Maceió"));
}

// Cancelled inside the viewer: the list shows it at once, and opened again
// it cannot be cancelled twice.
void TestConsultaPreDatado::canceladaNoVisorEListaAtualizada()
{
    const int id = insere(serie(hoje_, QStringLiteral("120,00"), QStringLiteral("Cancelar")));
    abre();
    caixas_->answers = {true};
    visualiza(id, [&](QDialog &visor) {
        QVERIFY(controle(&visor, "btCancelaPredatado")->isEnabled());
        controle(&visor, "btCancelaPredatado")->click();
    });
    norvel::db::DbQuery &consulta = *janela_->rvDSPredatado();
    const int linha = consulta.locate(QStringLiteral("IDPREDATADO"), id);
    auto *grade = controle<QTableView>(janela_, "grdPreDatados");
    QCOMPARE(grade->model()->index(linha, consulta.columnOf(QStringLiteral("STATUS1"))).data().toString(),
             QStringLiteral("Cancelado"));

    caixas_->dialogTitles.clear();
    bool cancelar = true;
    bool imprimir = false;
    visualiza(id, [&](QDialog &visor) {
        cancelar = controle(&visor, "btCancelaPredatado")->isEnabled();
        imprimir = controle(&visor, "btImprimir")->isEnabled();
    });
    QVERIFY(!cancelar);
    QVERIFY(imprimir);
}

void TestConsultaPreDatado::impressaComDataEReimprimir()
{
    RegistroPreDatado s = serie(hoje_, QStringLiteral("75,00"), QStringLiteral("Impressa"));
    s.jaImpresso = true;
    s.dataImpressao = hoje_.addDays(-4);
    const int id = insere(s);
    abre();
    QString botao;
    QDate data;
    bool dataVisivel = false;
    visualiza(id, [&](QDialog &visor) {
        botao = controle(&visor, "btImprimir")->text();
        auto *impressao = controle<QDateTimeEdit>(&visor, "dtpImpressao");
        data = impressao->date();
        dataVisivel = !impressao->isHidden() && !controle<QLabel>(&visor, "lblDataImpressao")->isHidden();
    });
    QCOMPARE(botao, QStringLiteral("Reimprimir Cheques"));
    QCOMPARE(data, hoje_.addDays(-4));
    QVERIFY(dataVisivel);
}

// Two series of a period written as HTML and as text, the only formats
// offered: one row each, their count and total.
void TestConsultaPreDatado::relatorioHtmlETexto()
{
    const QDate dia(2003, 5, 20);
    insere(serie(dia, QStringLiteral("1234,56"), QStringLiteral("Reforma")));
    RegistroPreDatado cancelada = serie(dia.addDays(3), QStringLiteral("65,44"), QStringLiteral("Frete"));
    cancelada.status = 1;
    insere(cancelada);
    abre();
    consultaPeriodo(dia, dia.addDays(5));
    QCOMPARE(dm_->ConsultaPredatadoPeriodo.rowCount(), 2);

    QTemporaryDir pasta;
    QStringList lidos;
    for (const auto formato : {norvel::report::FileFormat::Html, norvel::report::FileFormat::Text}) {
        QList<norvel::report::FileFormat> oferecidos;
        caixas_->dialogs = {[&](QDialog &dialogo) {
            auto *opcoes = qobject_cast<norvel::report::OutputOptionsDialog *>(&dialogo);
            if (!opcoes)
                return int(QDialog::Rejected);
            oferecidos = opcoes->formats();
            opcoes->findChild<QRadioButton *>(QStringLiteral("rbFile"))->click();
            opcoes->setFormat(formato);
            return int(QDialog::Accepted);
        }};
        const QString caminho = pasta.filePath(QStringLiteral("series.") + norvel::report::defaultSuffix(formato));
        caixas_->files = {{caminho, norvel::report::fileFilter(formato)}};
        QTest::mouseClick(controle(janela_, "brRelatorio"), Qt::LeftButton);
        QVERIFY2(caixas_->boxes.isEmpty(), qPrintable(caixas_->lastText()));
        QCOMPARE(oferecidos,
                 (QList<norvel::report::FileFormat>{norvel::report::FileFormat::Html, norvel::report::FileFormat::Text}));
        QFile arquivo(caminho);
        QVERIFY(arquivo.open(QIODevice::ReadOnly));
        lidos << QString::fromUtf8(arquivo.readAll());
    }
    for (const QString &texto : lidos) {
        for (const char *esperado : {"Reforma", "1234,56", "20/05/2003", "Frete", "65,44", "Cancelado",
                                     "237 Banco", "Quantidade de séries: 2", "Total: 1300,00"})
            QVERIFY2(texto.contains(QString::fromUtf8(esperado)), esperado);
    }
    if (!qEnvironmentVariableIsEmpty("NORVEL_CAPTURAS")) {
        for (int i = 0; i < lidos.size(); ++i) {
            QFile copia(qEnvironmentVariable("NORVEL_CAPTURAS") + (i ? "/relatorio-predatado.txt" : "/relatorio-predatado.html"));
            if (copia.open(QIODevice::WriteOnly))
                copia.write(lidos[i].toUtf8());
        }
    }
}

// Brought forward by a second command, in a frame without a minimise button.
void TestConsultaPreDatado::umaSoJanelaSemMinimizar()
{
    auto *principal = new TfrmPrincipal;
    principal->defineDados(*dm_);
    principal->resize(1366, 768 - 19);
    principal->show();
    QAction *consulta = principal->findChild<QAction *>(QStringLiteral("actConsultaPreDatado"));
    QVERIFY(consulta && consulta->isEnabled());
    consulta->trigger();
    consulta->trigger();
    const QList<QMdiSubWindow *> molduras = principal->areaFilhos()->subWindowList();
    QCOMPARE(molduras.size(), 1);
    QCOMPARE(molduras.first()->widget()->objectName(), QStringLiteral("frmConsultaPreDatado"));
    QVERIFY(!molduras.first()->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(molduras.first()->windowFlags().testFlag(Qt::WindowSystemMenuHint));
    if (!qEnvironmentVariableIsEmpty("NORVEL_CAPTURAS"))
        principal->grab().save(qEnvironmentVariable("NORVEL_CAPTURAS") + QStringLiteral("/principal-consulta-predatado.png"));
    principal->findChild<QAction *>(QStringLiteral("actSair"))->trigger();
    delete principal;
}

NORVEL_UI_TEST_MAIN(TestConsultaPreDatado)
#include "test_consultapredatado.moc"
