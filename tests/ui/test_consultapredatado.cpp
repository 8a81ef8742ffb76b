// The post-dated query window on a fresh database: the series listed and
// titled by the query shown, the series viewer filled from the selected row
// through the seam, the report in its two file formats. What it shares with
// the cheque query window is tested there.

#include "BankLayout.h"
#include "DataLonga.h"
#include "RecordingPresenter.h"
#include "ReportWindows.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uConsultaPreDatado.h"
#include "uDMNorvelCheque.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>

using norvel::report::FileFormat;

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
    void serieNoVisor_data();
    void serieNoVisor();
    void relatorioHtmlETexto();

private:
    // Stores a series of 3 monthly installments and returns its key.
    int insere(const QDate &data, const QString &valor, const QString &descricao,
               const std::function<void(RegistroPreDatado &)> &muda = {});
    void abre();
    void consultaPeriodo(const QDate &inicial, const QDate &final);
    QStringList titulos() const;
    template <typename T = QPushButton> static T *c(QObject *dono, const char *nome)
    {
        return dono->findChild<T *>(QLatin1String(nome));
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
    const WriteResult banco = dm_->insereBanco({0, "237", "Banco Ação", "BA", BankLayout().encode()}, {});
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

int TestConsultaPreDatado::insere(const QDate &data, const QString &valor, const QString &descricao,
                                  const std::function<void(RegistroPreDatado &)> &muda)
{
    RegistroPreDatado s;
    s.idBanco = idBanco_;
    s.agencia = s.conta = s.numInicialCheque = QStringLiteral("300");
    s.favorecido = QStringLiteral("José da Conceição");
    s.cidade = QStringLiteral("Maceió");
    s.valor = Money::parse(valor).value();
    s.dataInicialEmissao = data;
    s.numParcelas = 3;
    s.valorPeriodoImpressao = 1;
    s.periodoImpressao = QStringLiteral("Mês(es)");
    s.descricao = descricao;
    if (muda)
        muda(s);
    return dm_->inserePreDatado(s, {}).chave;
}

void TestConsultaPreDatado::abre()
{
    janela_ = new TfrmConsultaPreDatado(contexto_);
    janela_->show();
}

void TestConsultaPreDatado::consultaPeriodo(const QDate &inicial, const QDate &final)
{
    QTest::mouseClick(c<QRadioButton>(janela_, "rdPeriodo"), Qt::LeftButton);
    c<DataLonga>(janela_, "dtpDataInicial")->setDate(inicial);
    c<DataLonga>(janela_, "dtpDataFinal")->setDate(final);
    QTest::mouseClick(c(janela_, "btAtualizarConsulta"), Qt::LeftButton);
}

QStringList TestConsultaPreDatado::titulos() const
{
    auto *grade = c<QTableView>(janela_, "grdPreDatados");
    QStringList lista;
    for (int visual = 0; visual < grade->model()->columnCount(); ++visual) {
        const int coluna = grade->horizontalHeader()->logicalIndex(visual);
        if (!grade->isColumnHidden(coluna))
            lista << grade->model()->headerData(coluna, Qt::Horizontal).toString();
    }
    return lista;
}

// Today's series at once, by date; by period three columns take that
// query's titles.
void TestConsultaPreDatado::listaDeHojeTituladaPelaConsulta()
{
    const int deHoje = insere(hoje_, "900,00", "Aluguel");
    insere(hoje_.addDays(-1), "30,00", "Ontem");
    abre();
    QCOMPARE(janela_->windowTitle(), QStringLiteral("Consulta por cheques pré-datados"));
    QCOMPARE(janela_->size(), QSize(1017, 617));
    QCOMPARE(janela_->rvDSPredatado(), &dm_->ConsultaPredatadoData);
    QCOMPARE(dm_->ConsultaPredatadoData.rowCount(), 1);
    QCOMPARE(dm_->ConsultaPredatadoData.value(0, "IDPREDATADO").toInt(), deHoje);
    QStringList esperados = {"Descrição", "Valor", "Nº de Parcelas", "Período de Impressão", "Status",
                             "Nº do Banco", "Banco", "Conta Corrente", "Agencia", "Nº Inical do Cheque",
                             "Data de Emissão", "Data de Impressão", "Favorecido", "Cidade", "De terceiros",
                             "Já Impresso", "Centro de Custo", "Tipo de Compensação"};
    QCOMPARE(titulos(), esperados);

    consultaPeriodo(hoje_.addDays(-1), hoje_);
    QCOMPARE(janela_->rvDSPredatado(), &dm_->ConsultaPredatadoPeriodo);
    QCOMPARE(dm_->ConsultaPredatadoPeriodo.rowCount(), 2);
    esperados[8] = "Agência";
    esperados[9] = "Nº do Cheque Inicial";
    esperados[17] = "Tipo da Compensação";
    QCOMPARE(titulos(), esperados);
    if (!qEnvironmentVariableIsEmpty("NORVEL_CAPTURAS"))
        janela_->grab().save(qEnvironmentVariable("NORVEL_CAPTURAS") + "/consulta-predatado.png");
}

void TestConsultaPreDatado::serieNoVisor_data()
{
    QTest::addColumn<QString>("favorecido");
    QTest::addColumn<int>("status");
    QTest::addColumn<QDate>("impressao");
    QTest::addColumn<QString>("mostrado");
    QTest::addColumn<QString>("imprimir");
    const QDate semData;
    const QString ana = QStringLiteral("Ana");
    const QString imprimir = QStringLiteral("Imprimir Cheques");
    QTest::newRow("no payee") << QStringLiteral("Não Disponível") << 0 << semData << QString() << imprimir;
    QTest::newRow("cancelled") << ana << 1 << semData << ana << imprimir;
    QTest::newRow("printed") << ana << 0 << QDate(2020, 2, 3) << ana << QStringLiteral("Reimprimir Cheques");
}

// The selected row as the viewer shows it: the payee, the cancel command
// and, for a printed series, its last print date.
void TestConsultaPreDatado::serieNoVisor()
{
    QFETCH(QString, favorecido);
    QFETCH(int, status);
    QFETCH(QDate, impressao);
    const QDate dia(2011, 4, 5);
    const int id = insere(dia, "450,00", QTest::currentDataTag(), [&](RegistroPreDatado &s) {
        s.favorecido = favorecido;
        s.status = status;
        s.jaImpresso = impressao.isValid();
        s.dataImpressao = impressao.isValid() ? std::optional(impressao) : std::nullopt;
    });
    abre();
    c<DataLonga>(janela_, "dtpDataCheque")->setDate(dia);
    QTest::mouseClick(c(janela_, "btAtualizarConsulta"), Qt::LeftButton);
    auto *grade = c<QTableView>(janela_, "grdPreDatados");
    norvel::db::DbQuery &consulta = dm_->ConsultaPredatadoData;
    grade->setCurrentIndex(grade->model()->index(consulta.locate("IDPREDATADO", id), consulta.columnOf("DESCRICAO")));
    QStringList visto;
    caixas_->dialogs = {[&](QDialog &visor) {
        auto *data = c<QDateTimeEdit>(&visor, "dtpImpressao");
        visto = {c<QLineEdit>(&visor, "edtFavorecido")->text(), c<QLineEdit>(&visor, "edtValor")->text(),
                 c(&visor, "btImprimir")->text(), c(&visor, "btCancelaPredatado")->isEnabled() ? "1" : "0",
                 data->isHidden() ? QString() : data->date().toString("dd/MM/yyyy")};
        return int(QDialog::Rejected);
    }};
    QTest::mouseClick(c(janela_, "btVisualizar"), Qt::LeftButton);
    QCOMPARE(caixas_->dialogTitles, QStringList{"Visualização dos Cheques Pré-datados"});
    QFETCH(QString, mostrado);
    QFETCH(QString, imprimir);
    QCOMPARE(visto, (QStringList{mostrado, "450,00", imprimir, status == 1 ? "0" : "1",
                                 impressao.toString("dd/MM/yyyy")}));
}

// Two series of a period written as HTML and as text, the only formats
// offered: a row each, their count and total.
void TestConsultaPreDatado::relatorioHtmlETexto()
{
    const QDate dia(2003, 5, 20);
    insere(dia, "1234,56", "Reforma");
    insere(dia.addDays(3), "65,44", "Frete", [](RegistroPreDatado &s) { s.status = 1; });
    abre();
    consultaPeriodo(dia, dia.addDays(5));
    QTemporaryDir pasta;
    for (const FileFormat formato : {FileFormat::Html, FileFormat::Text}) {
        QList<FileFormat> oferecidos;
        caixas_->dialogs = {[&](QDialog &dialogo) {
            auto *opcoes = qobject_cast<norvel::report::OutputOptionsDialog *>(&dialogo);
            if (!opcoes)
                return int(QDialog::Rejected);
            oferecidos = opcoes->formats();
            opcoes->findChild<QRadioButton *>("rbFile")->click();
            opcoes->setFormat(formato);
            return int(QDialog::Accepted);
        }};
        const QString caminho = pasta.filePath("series." + norvel::report::defaultSuffix(formato));
        caixas_->files = {{caminho, norvel::report::fileFilter(formato)}};
        QTest::mouseClick(c(janela_, "brRelatorio"), Qt::LeftButton);
        QVERIFY2(caixas_->boxes.isEmpty(), qPrintable(caixas_->lastText()));
        QCOMPARE(oferecidos, (QList<FileFormat>{FileFormat::Html, FileFormat::Text}));
        QFile arquivo(caminho);
        QVERIFY(arquivo.open(QIODevice::ReadOnly));
        const QString texto = QString::fromUtf8(arquivo.readAll());
        for (const char *esperado : {"Reforma", "1234,56", "20/05/2003", "Frete", "65,44", "Cancelado", "237 Banco",
                                     "Quantidade de séries: 2", "Total: 1300,00"})
            QVERIFY2(texto.contains(QString::fromUtf8(esperado)), esperado);
        if (!qEnvironmentVariableIsEmpty("NORVEL_CAPTURAS")) {
            const QString copia = qEnvironmentVariable("NORVEL_CAPTURAS") + "/relatorio-predatado." + caminho.section('.', -1);
            QFile::remove(copia);
            QFile::copy(caminho, copia);
        }
    }
}

NORVEL_UI_TEST_MAIN(TestConsultaPreDatado)
#include "test_consultapredatado.moc"
