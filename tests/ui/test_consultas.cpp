// The single-cheque query window on a fresh database: searches by date and
// by period, the viewer answered through the seam, the reprint it records
// and the report over the query run last.

#include "BankLayout.h"
#include "DataLonga.h"
#include "RecordingPresenter.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uConsultas.h"
#include "ReportWindows.h"
#include "uDMNorvelCheque.h"
#include "uPrincipal.h"

#include <QAction>
#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

class TestConsultas : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void listaDeHojeAoAbrir();
    void modoPeriodoSoValeAoAtualizar();
    void periodoInvertidoVazio();
    void duploCliqueEmListaVazia();
    void chequeCanceladoNoVisor();
    void reimpressaoGravadaEListaAtualizada();
    void fecharSemImprimirNaoGrava();
    void relatorioDaConsultaRodada();
    void umaSoJanelaPeloMenu();
    void gradeBuscaOrestoAoRolar();

private:
    template <typename T> T *controle(const QString &nome) const;
    int insereCheque(const QDate &emissao, const QString &valor, int status = 0,
                     std::optional<QDate> impressao = std::nullopt);
    void abre();
    int linhas() const;
    // Double-clicks the row whose cheque has this key.
    void visualiza(int idCheque);

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<RecordingPresenter> caixas_;
    Contexto contexto_;
    TfrmConsultas *janela_ = nullptr;
    int idBanco_ = 0;
    const QDate hoje_ = QDate::currentDate();
};

void TestConsultas::initTestCase()
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

void TestConsultas::cleanupTestCase()
{
    dm_.reset();
    base_.reset();
}

void TestConsultas::init()
{
    caixas_ = std::make_unique<RecordingPresenter>();
}

void TestConsultas::cleanup()
{
    if (janela_)
        janela_->close();
    janela_ = nullptr;
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

template <typename T> T *TestConsultas::controle(const QString &nome) const
{
    T *achado = janela_->findChild<T *>(nome);
    if (!achado)
        qWarning("no control %s", qPrintable(nome));
    return achado;
}

int TestConsultas::insereCheque(const QDate &emissao, const QString &valor, int status,
                                std::optional<QDate> impressao)
{
    RegistroCheque cheque;
    cheque.idBanco = idBanco_;
    cheque.agencia = QStringLiteral("1234");
    cheque.conta = QStringLiteral("5678-9");
    cheque.numCheque = QStringLiteral("000101");
    cheque.favorecido = QStringLiteral("José da Conceição");
    cheque.cidade = QStringLiteral("São Paulo");
    cheque.valor = Money::parse(valor).value();
    cheque.dataEmissao = emissao;
    cheque.dataImpressao = impressao;
    cheque.jaImpresso = impressao.has_value();
    const WriteResult r = dm_->insereCheque(cheque, {});
    if (!r)
        qWarning("%s", qPrintable(r.message));
    if (status == 1)
        dm_->cancelaCheque(r.chave, {});
    return r.chave;
}

void TestConsultas::abre()
{
    janela_ = new TfrmConsultas(contexto_);
    janela_->show();
}

int TestConsultas::linhas() const
{
    return controle<QTableView>(QStringLiteral("grdCheques"))->model()->rowCount();
}

void TestConsultas::visualiza(int idCheque)
{
    QTableView *grade = controle<QTableView>(QStringLiteral("grdCheques"));
    const norvel::db::DbQuery &consulta = *dm_->dsConsultaCheques;
    for (int linha = 0; linha < consulta.rowCount(); ++linha) {
        if (consulta.value(linha, QStringLiteral("IDCHEQUE")).toInt() == idCheque) {
            const QModelIndex celula = grade->model()->index(linha, consulta.columnOf(QStringLiteral("VALOR")));
            grade->setCurrentIndex(celula);
            emit grade->doubleClicked(celula);
            return;
        }
    }
    QFAIL("cheque not listed");
}

void TestConsultas::listaDeHojeAoAbrir()
{
    const int deHoje = insereCheque(hoje_, QStringLiteral("10,00"));
    insereCheque(hoje_.addDays(-1), QStringLiteral("20,00"));
    abre();
    QCOMPARE(janela_->windowTitle(), QStringLiteral("Consulta por cheque avulso"));
    QCOMPARE(janela_->size(), QSize(1017, 617));
    QVERIFY(controle<QRadioButton>(QStringLiteral("rdData"))->isChecked());
    QVERIFY(!controle<QWidget>(QStringLiteral("grpPeriodo"))->isEnabled());
    QCOMPARE(controle<DataLonga>(QStringLiteral("dtpDataCheque"))->date(), hoje_);
    QCOMPARE(dm_->dsConsultaCheques, &dm_->ConsultaChequesData);
    QCOMPARE(dm_->ConsultaChequesData.value(linhas() - 1, QStringLiteral("IDCHEQUE")).toInt(), deHoje);
    for (int linha = 0; linha < linhas(); ++linha)
        QCOMPARE(dm_->ConsultaChequesData.value(linha, QStringLiteral("DATAEMISSAO")).toDate(), hoje_);

    // The grid's columns in the window's order, the key hidden.
    QTableView *grade = controle<QTableView>(QStringLiteral("grdCheques"));
    QStringList titulos;
    for (int visual = 0; visual < grade->model()->columnCount(); ++visual) {
        const int coluna = grade->horizontalHeader()->logicalIndex(visual);
        if (!grade->isColumnHidden(coluna))
            titulos << grade->model()->headerData(coluna, Qt::Horizontal).toString();
    }
    QCOMPARE(titulos, (QStringList{"Nome do Banco", "Número do Cheque", "Agência", "Conta Corrente", "Valor",
                                   "Data de Emissão", "Dt. de Impressão", "Status", "Favorecido", "Cidade",
                                   "Centro de Custo", "Tipo de Compensação", "Descrição"}));
}

void TestConsultas::modoPeriodoSoValeAoAtualizar()
{
    abre();
    const int antes = linhas();
    QTest::mouseClick(controle<QRadioButton>(QStringLiteral("rdPeriodo")), Qt::LeftButton);
    QVERIFY(controle<QWidget>(QStringLiteral("grpPeriodo"))->isEnabled());
    QVERIFY(!controle<QWidget>(QStringLiteral("grpData"))->isEnabled());
    // Not run yet: the date search stays on screen and bound to the report.
    QCOMPARE(dm_->dsConsultaCheques, &dm_->ConsultaChequesData);
    QCOMPARE(janela_->rvDataSet(), &dm_->ConsultaChequesData);
    QCOMPARE(linhas(), antes);

    controle<DataLonga>(QStringLiteral("dtpDataInicial"))->setDate(hoje_.addDays(-1));
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btAtualizarConsulta")), Qt::LeftButton);
    QCOMPARE(dm_->dsConsultaCheques, &dm_->ConsultaChequesPeriodo);
    QCOMPARE(janela_->rvDataSet(), &dm_->ConsultaChequesPeriodo);
    QVERIFY(!dm_->ConsultaChequesData.isActive());
    QVERIFY(linhas() > antes); // yesterday's cheque too
}

void TestConsultas::periodoInvertidoVazio()
{
    abre();
    QTest::mouseClick(controle<QRadioButton>(QStringLiteral("rdPeriodo")), Qt::LeftButton);
    controle<DataLonga>(QStringLiteral("dtpDataInicial"))->setDate(hoje_);
    controle<DataLonga>(QStringLiteral("dtpDataFinal"))->setDate(hoje_.addDays(-1));
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btAtualizarConsulta")), Qt::LeftButton);
    QCOMPARE(linhas(), 0);
    QVERIFY(caixas_->boxes.isEmpty());
}

void TestConsultas::duploCliqueEmListaVazia()
{
    abre();
    controle<DataLonga>(QStringLiteral("dtpDataCheque"))->setDate(QDate(1990, 1, 1));
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btAtualizarConsulta")), Qt::LeftButton);
    QCOMPARE(linhas(), 0);
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btVisualizar")), Qt::LeftButton);
    QVERIFY(caixas_->dialogTitles.isEmpty());
    QVERIFY(caixas_->boxes.isEmpty());
}

void TestConsultas::chequeCanceladoNoVisor()
{
    const int cancelado = insereCheque(hoje_, QStringLiteral("1234,56"), 1);
    abre();
    bool cancelar = true;
    bool imprimir = false;
    QString valor;
    caixas_->dialogs = {[&](QDialog &visor) {
        cancelar = visor.findChild<QPushButton *>(QStringLiteral("btCancelarCheque"))->isEnabled();
        imprimir = visor.findChild<QPushButton *>(QStringLiteral("btImprimir"))->isEnabled();
        valor = visor.findChild<QLabel *>(QStringLiteral("lblValor"))->text();
        return -1;
    }};
    visualiza(cancelado);
    QCOMPARE(caixas_->dialogTitles, QStringList{QStringLiteral("Visualização do cheque de 1234,56")});
    QVERIFY(!cancelar);
    QVERIFY(imprimir);
    QCOMPARE(valor, QStringLiteral("R$ 1234,56"));
}

void TestConsultas::reimpressaoGravadaEListaAtualizada()
{
    const QDate antiga = hoje_.addDays(-3);
    const int impresso = insereCheque(hoje_, QStringLiteral("55,00"), 0, antiga);
    abre();
    QString botao;
    QDate mostrada;
    bool dataVisivel = false;
    const QDateTime reimpressao(hoje_, QTime(10, 30));
    caixas_->dialogs = {[&](QDialog &visor) {
        botao = visor.findChild<QPushButton *>(QStringLiteral("btImprimir"))->text();
        auto *data = visor.findChild<QDateTimeEdit *>(QStringLiteral("dtpDataImpressao"));
        mostrada = data->date();
        dataVisivel = !data->isHidden();
        // The viewer printed: it holds the moment of that print.
        data->setDateTime(reimpressao);
        return 1;
    }};
    visualiza(impresso);
    QCOMPARE(botao, QStringLiteral("Reimprimir"));
    QCOMPARE(mostrada, antiga);
    QVERIFY(dataVisivel);
    QVERIFY2(caixas_->boxes.isEmpty(), qPrintable(caixas_->lastText()));
    const int linha = dm_->ConsultaChequesData.locate(QStringLiteral("IDCHEQUE"), impresso);
    QVERIFY(linha >= 0);
    QCOMPARE(dm_->ConsultaChequesData.value(linha, QStringLiteral("DATAIMPRESSAO")).toDate(), hoje_);
    // The refreshed grid shows it too.
    QTableView *grade = controle<QTableView>(QStringLiteral("grdCheques"));
    const int coluna = dm_->ConsultaChequesData.columnOf(QStringLiteral("DATAIMPRESSAO"));
    QCOMPARE(grade->model()->index(linha, coluna).data().toString(), hoje_.toString(QStringLiteral("dd/MM/yyyy")));
}

void TestConsultas::fecharSemImprimirNaoGrava()
{
    const int naoImpresso = insereCheque(hoje_, QStringLiteral("7,00"));
    abre();
    caixas_->dialogs = {[](QDialog &visor) {
        auto *imprimir = visor.findChild<QPushButton *>(QStringLiteral("btImprimir"));
        return imprimir->text() == QLatin1String("Imprimir") ? -1 : 99;
    }};
    visualiza(naoImpresso);
    QCOMPARE(caixas_->dialogTitles.size(), 1);
    const int linha = dm_->ConsultaChequesData.locate(QStringLiteral("IDCHEQUE"), naoImpresso);
    QVERIFY(!dm_->ConsultaChequesData.value(linha, QStringLiteral("DATAIMPRESSAO")).toDate().isValid()
            || dm_->ConsultaChequesData.value(linha, QStringLiteral("DATAIMPRESSAO")).toDate() == QDate(1899, 12, 30));
    QCOMPARE(dm_->ConsultaChequesData.value(linha, QStringLiteral("JAIMPRESSO")).toInt(), 0);
}

void TestConsultas::relatorioDaConsultaRodada()
{
    const QDate dia = hoje_.addDays(-10);
    insereCheque(dia, QStringLiteral("321,09"));
    abre();
    QTest::mouseClick(controle<QRadioButton>(QStringLiteral("rdPeriodo")), Qt::LeftButton);
    controle<DataLonga>(QStringLiteral("dtpDataInicial"))->setDate(dia);
    controle<DataLonga>(QStringLiteral("dtpDataFinal"))->setDate(dia);
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btAtualizarConsulta")), Qt::LeftButton);
    QCOMPARE(linhas(), 1);

    // "Output Options" answered with a text file: the report of the period.
    const auto emArquivo = [](QDialog &dialogo) {
        auto *opcoes = qobject_cast<norvel::report::OutputOptionsDialog *>(&dialogo);
        if (!opcoes)
            return int(QDialog::Rejected);
        opcoes->findChild<QRadioButton *>(QStringLiteral("rbFile"))->click();
        opcoes->setFormat(norvel::report::FileFormat::Text);
        return int(QDialog::Accepted);
    };
    // The save dialog opens in the documents folder, made when missing, and
    // then in the folder used last.
    QTemporaryDir casa;
    const QByteArray casaAntes = qgetenv("HOME");
    const auto restauraCasa = qScopeGuard([&] { qputenv("HOME", casaAntes); });
    qputenv("HOME", QFile::encodeName(casa.path()));
    QTemporaryDir pasta;
    caixas_->dialogs = {emArquivo, emArquivo};
    caixas_->files = {{pasta.filePath(QStringLiteral("consulta.txt")), QString()}, {}};
    for (int vez = 0; vez < 2; ++vez)
        QTest::mouseClick(controle<QPushButton>(QStringLiteral("brRelatorio")), Qt::LeftButton);
    QCOMPARE(caixas_->suggestedFiles.size(), 2);
    const QString documentos = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QVERIFY(documentos.startsWith(casa.path()));
    QCOMPARE(QFileInfo(caixas_->suggestedFiles[0]).absolutePath(), documentos);
    QVERIFY(QFileInfo(documentos).isDir());
    QCOMPARE(QFileInfo(caixas_->suggestedFiles[1]).absolutePath(), QFileInfo(pasta.path()).absoluteFilePath());
    QVERIFY2(caixas_->boxes.isEmpty(), qPrintable(caixas_->lastText()));
    QFile arquivo(pasta.filePath(QStringLiteral("consulta.txt")));
    QVERIFY(arquivo.open(QIODevice::ReadOnly));
    const QString texto = QString::fromUtf8(arquivo.readAll());
    QVERIFY2(texto.contains(QStringLiteral("321,09")), qPrintable(texto));
    QVERIFY(texto.contains(QStringLiteral("Banco Ação")));
    QVERIFY(texto.contains(dia.toString(QStringLiteral("dd/MM/yyyy"))));
}

void TestConsultas::umaSoJanelaPeloMenu()
{
    auto *principal = new TfrmPrincipal;
    principal->defineDados(*dm_);
    principal->show();
    QAction *consulta = principal->findChild<QAction *>(QStringLiteral("actConsultaAvulso"));
    QVERIFY(consulta && consulta->isEnabled());
    consulta->trigger();
    consulta->trigger();
    QStringList filhos;
    for (QMdiSubWindow *moldura : principal->areaFilhos()->subWindowList())
        filhos << moldura->widget()->objectName();
    QCOMPARE(filhos, QStringList{QStringLiteral("frmConsultas")});
    principal->findChild<QAction *>(QStringLiteral("actSair"))->trigger();
    delete principal;
}

// A search brings a screen's rows; scrolled to its end, the grid fetches
// the rest.
void TestConsultas::gradeBuscaOrestoAoRolar()
{
    const QDate dia = hoje_.addDays(-400);
    const int total = TdmNorvelCheque::PrimeiraTela + 30;
    for (int i = 0; i < total; ++i)
        insereCheque(dia, QStringLiteral("1,00"));
    abre();
    controle<DataLonga>(QStringLiteral("dtpDataCheque"))->setDate(dia);
    QTest::mouseClick(controle<QPushButton>(QStringLiteral("btAtualizarConsulta")), Qt::LeftButton);
    QCOMPARE(linhas(), TdmNorvelCheque::PrimeiraTela);
    QTableView *grade = controle<QTableView>(QStringLiteral("grdCheques"));
    grade->scrollToBottom();
    QTRY_COMPARE(linhas(), total);
}

NORVEL_UI_TEST_MAIN(TestConsultas)
#include "test_consultas.moc"
