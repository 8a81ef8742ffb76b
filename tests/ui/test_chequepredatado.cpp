// The post-dated series entry window driven by its control names on a fresh
// database, its printing run printing on the virtual printer as COM7.

#include "CaixaBusca.h"
#include "DataLonga.h"
#include "ImpressoraNaPorta.h"
#include "RecordingPresenter.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uCheque.h"
#include "uChequePreDatado.h"
#include "uDMNorvelCheque.h"
#include "uImprimePreDatados.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <memory>

class TestChequePreDatado : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void gradeDe25ELinhaDeInformacao();
    void numeroDeParcelasForaDosLimites();
    void camposObrigatoriosEmOrdem_data();
    void camposObrigatoriosEmOrdem();
    void salvaImprimeEMarcaImpresso();
    void falhaAoSalvarTravaENovoDestrava();
    void visualizaParcela();

private:
    template <typename T = QLineEdit> T *c(const char *nome) { return janela_->findChild<T *>(QLatin1String(nome)); }
    QString celula(int linha, int coluna);
    void escolhe(const char *nome, const QString &texto)
    {
        c<CaixaBusca>(nome)->setCurrentIndex(c<CaixaBusca>(nome)->findText(texto));
    }
    // Types text into a box and leaves it with Tab.
    void digita(const char *nome, const QString &texto);
    // The required boxes on bank 237 from date: the total (digits, as
    // typed), the count, the cheque number. The focus ends in the payee.
    void preenche(const QDate &data, const QString &valor, int parcelas, const QString &numCheque = "500");
    // The one series stored with that first date.
    RegistroPreDatado serieDe(const QDate &data)
    {
        return TdmNorvelCheque::preDatadoDaLinha(dm_->consultaPreDatadosPorData(data), 0);
    }

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<ImpressoraNaPorta> impressora_;
    std::unique_ptr<RecordingPresenter> caixas_;
    Contexto contexto_{ImpressoraNaPorta::Porta, QStringLiteral("São Paulo")};
    TfrmChequePreDatado *janela_ = nullptr;
};

void TestChequePreDatado::initTestCase()
{
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
    contexto_.dados = dm_.get();
    QVERIFY(dm_->insereBanco({0, "237", "Bradesco", "B", ImpressoraNaPorta::Leiaute}, QString()));
    QVERIFY(dm_->insereCadastro(Cadastro::Favorecido, QStringLiteral("José da Conceição"), QString()));
    QVERIFY(dm_->insereCadastro(Cadastro::CentroCusto, QStringLiteral("Obras"), QString()));
    impressora_ = std::make_unique<ImpressoraNaPorta>(QList<int>{237});
}

void TestChequePreDatado::cleanupTestCase()
{
    impressora_.reset();
    dm_.reset();
    base_.reset();
}

void TestChequePreDatado::init()
{
    caixas_ = std::make_unique<RecordingPresenter>();
    janela_ = new TfrmChequePreDatado(contexto_);
    janela_->show();
    if (!QTest::qWaitForWindowActive(janela_))
        qWarning("window not active: the leave rules will not run");
}

void TestChequePreDatado::cleanup()
{
    janela_->close();
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

QString TestChequePreDatado::celula(int linha, int coluna)
{
    const QTableWidgetItem *item = c<QTableWidget>("grdParcelas")->item(linha, coluna);
    return item ? item->text() : QString();
}

void TestChequePreDatado::digita(const char *nome, const QString &texto)
{
    QWidget *caixa = c<QWidget>(nome);
    caixa->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(caixa, texto);
    QTest::keyClick(caixa, Qt::Key_Tab);
}

void TestChequePreDatado::preenche(const QDate &data, const QString &valor, int parcelas, const QString &numCheque)
{
    c<DataLonga>("dtpDataCheque")->setDate(data);
    c("edtDescricao")->setText(QStringLiteral("Reforma da loja"));
    digita("edtNumBanco", QStringLiteral("237"));
    digita("edtValor", valor);
    digita("edtAgencia", QStringLiteral("1234-5"));
    digita("edtConta", QStringLiteral("56789-0"));
    c("edtNumParcelas")->clear();
    digita("edtNumParcelas", QString::number(parcelas));
    digita("edtNumCheque", numCheque);
}

void TestChequePreDatado::gradeDe25ELinhaDeInformacao()
{
    QVERIFY2(janela_->height() + 30 <= 613, "frame taller than a 1366×768 screen's client area");
    QCOMPARE(c<QComboBox>("cmbPeriodo")->currentText(), QStringLiteral("Mês(es)"));
    preenche(QDate(2009, 1, 31), QStringLiteral("123456"), 25);
    auto *grade = c<QTableWidget>("grdParcelas");
    QCOMPARE(grade->columnCount(), 6);
    QCOMPARE(grade->rowCount(), 10);
    QCOMPARE(grade->rowHeight(9), 21);
    for (int coluna = 0; coluna < 6; ++coluna)
        QCOMPARE(grade->columnWidth(coluna), coluna % 2 ? 68 : 30);
    // 25 × 49,38 is 1234,50: the first takes the difference.
    const QStringList esperadas = {"1ª", "R$ 49,44", "10ª", "11ª", "R$ 49,38", "25ª", "R$ 49,38", ""};
    QCOMPARE((QStringList{celula(0, 0), celula(0, 1), celula(9, 0), celula(0, 2), celula(9, 3), celula(4, 4),
                          celula(4, 5), celula(5, 4)}),
             esperadas);

    // The line follows the cell, the date, the period and its unit.
    auto *info = c<QLabel>("lblDadosCheque");
    QCOMPARE(info->text(), QStringLiteral("1ª parcela de 25 no valor de R$ 49,44 a ser debitado em 31/01/2009"));
    grade->setCurrentCell(1, 1);
    QCOMPARE(info->text(), QStringLiteral("2ª parcela de 25 no valor de R$ 49,38 a ser debitado em 28/02/2009"));
    c<DataLonga>("dtpDataCheque")->setDate(QDate(2009, 3, 1));
    c("edtValorPeriodo")->clear();
    digita("edtValorPeriodo", QStringLiteral("15"));
    c<QComboBox>("cmbPeriodo")->setCurrentIndex(0);
    QCOMPARE(info->text(), QStringLiteral("2ª parcela de 25 no valor de R$ 49,38 a ser debitado em 16/03/2009"));
    QVERIFY(info->isVisible() && c<QPushButton>("btVisualizar")->isEnabled());
    QVERIFY(caixas_->boxes.isEmpty());
    const QString capturas = qEnvironmentVariable("NORVEL_CAPTURAS");
    if (!capturas.isEmpty())
        janela_->grab().save(capturas + QStringLiteral("/chequepredatado.png"));

    grade->setCurrentCell(5, 5);
    QVERIFY(!info->isVisible() && !c<QPushButton>("btVisualizar")->isEnabled());

    // The largest amounts widen their column instead of being cut.
    c("edtValor")->clear();
    digita("edtValor", QStringLiteral("99999999999999"));
    const QString maior = celula(0, 1);
    QVERIFY2(maior.endsWith(QStringLiteral(",99")) || maior.endsWith(QStringLiteral(",98")), qPrintable(maior));
    QVERIFY(grade->columnWidth(1) > grade->fontMetrics().horizontalAdvance(maior));
    QCOMPARE(grade->columnWidth(0), 30);
}

void TestChequePreDatado::numeroDeParcelasForaDosLimites()
{
    digita("edtValor", QStringLiteral("100000"));
    const QString limites = QStringLiteral("O número de parcelas deve ser maior que 2 e menor que 1000");
    for (const auto &[digitado, corrigido, colunas] :
         {std::tuple{"1001", "1000", 202}, {"1", "2", 2}, {"1000", "1000", 202}, {"2", "2", 2}}) {
        caixas_->boxes.clear();
        c("edtNumParcelas")->clear();
        digita("edtNumParcelas", QLatin1String(digitado));
        QCOMPARE(c("edtNumParcelas")->text(), QLatin1String(corrigido));
        QCOMPARE(c<QTableWidget>("grdParcelas")->columnCount(), colunas);
        QCOMPARE(caixas_->lastText(), strcmp(digitado, corrigido) ? limites : QString());
    }
}

void TestChequePreDatado::camposObrigatoriosEmOrdem_data()
{
    // Each row empties its box and every one after it: the first is named.
    QTest::addColumn<int>("primeiro");
    for (int i = 0; i < 9; ++i)
        QTest::addRow("%d", i) << i;
}

void TestChequePreDatado::camposObrigatoriosEmOrdem()
{
    QFETCH(int, primeiro);
    const std::pair<const char *, const char *> campos[] = {
        {"edtDescricao", "Descrição"}, {"edtBanco", "Banco"},       {"edtValor", "Valor"},
        {"edtAgencia", "Agencia"},     {"edtConta", "Conta"},       {"edtCidade", "Cidade"},
        {"edtNumParcelas", "Núm. de Parcelas"}, {"edtValorPeriodo", "Periodo de Impressao"},
        {"edtNumCheque", "Nº inicial do Cheque"},
    };
    preenche(QDate(2009, 1, 1), QStringLiteral("10000"), 4);
    for (int i = primeiro; i < 9; ++i) {
        if (i == 1)
            c<CaixaBusca>("edtBanco")->limpa();
        else
            c(campos[i].first)->clear();
    }
    caixas_->boxes.clear();
    QTest::mouseClick(c<QPushButton>("btImprimir"), Qt::LeftButton);
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->lastText(), QString::fromUtf8("O Campo %1 deve ser preenchido!").arg(campos[primeiro].second));
    QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(campos[primeiro].first));
    QCOMPARE(janela_->idPreDatado(), 0);
    QVERIFY(c<QPushButton>("btImprimir")->isEnabled());
}

// Stored with every input and the print date picked; the run prints the
// three cheques, and the series is then marked printed today.
void TestChequePreDatado::salvaImprimeEMarcaImpresso()
{
    preenche(QDate(2009, 3, 1), QStringLiteral("10000"), 3);
    c("edtValorPeriodo")->clear();
    digita("edtValorPeriodo", QStringLiteral("15"));
    c<QComboBox>("cmbPeriodo")->setCurrentIndex(0);
    escolhe("edtNomeFavorecido", QStringLiteral("José da Conceição"));
    escolhe("edtCentroCusto", QStringLiteral("Obras"));
    c("edtCidade")->setText(QStringLiteral("Maceió"));
    c<QCheckBox>("chkChequeTerceiro")->setChecked(true);
    c<QCheckBox>("chkJaImpresso")->setChecked(true);
    QVERIFY(c<QWidget>("dtpImpressao")->isVisible());
    c<DataLonga>("dtpImpressao")->setDate(QDate(2009, 2, 20));
    const qsizetype antes = impressora_->paginas(QStringLiteral("cheque")).size();

    RegistroPreDatado s;
    caixas_->answers = {true, true};   // start the run, then leave it
    caixas_->choices = {MessagePresenter::Answer::Yes, MessagePresenter::Answer::Yes};
    caixas_->dialogs.append([&](QDialog &d) {
        s = serieDe(QDate(2009, 3, 1));
        auto &run = dynamic_cast<TfrmImprimePreDatados &>(d);
        run.setEsperaImpressao(std::chrono::milliseconds(0));
        d.show();
        QTest::mouseClick(run.findChild<QPushButton *>(QStringLiteral("btImprimir")), Qt::LeftButton);
        d.close();
        return d.result();
    });
    QTest::mouseClick(c<QPushButton>("btImprimir"), Qt::LeftButton);
    QCOMPARE(caixas_->boxes[0].text, QStringLiteral("Dados salvos com sucesso!\nPara cancelar o pré-datado, utilize o "
                                                     "menu: \n\"Consultar->Cheques pré-datados...\""));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Information);

    QCOMPARE(s.idPreDatado, janela_->idPreDatado());
    QCOMPARE((QStringList{s.numBanco, s.agencia, s.conta, s.numInicialCheque, s.favorecido, s.cidade,
                          s.valor.toText(), s.nomeCentroCusto, s.periodoImpressao, s.descricao}),
             (QStringList{"237", "1234-5", "56789-0", "500", "José da Conceição", "Maceió", "100,00", "Obras",
                          "Dia(s)", "Reforma da loja"}));
    QCOMPARE((QList<int>{s.numParcelas, s.valorPeriodoImpressao, s.status}), (QList<int>{3, 15, 0}));
    QCOMPARE(s.dataInicialEmissao, QDate(2009, 3, 1));
    QVERIFY(s.terceiro && s.jaImpresso && !s.importado);
    QCOMPARE(s.dataImpressao, std::optional<QDate>(QDate(2009, 2, 20)));
    QCOMPARE(s.idCompensacao, std::optional<int>(1));

    for (const auto &[n, valor, dia] : {std::tuple{1, "33,34", "01"}, {2, "33,33", "16"}, {3, "33,33", "31"}}) {
        const QString pagina = impressora_->pagina(QStringLiteral("cheque"), int(antes) + n);
        QVERIFY2(pagina.contains(QLatin1String(valor)) && pagina.contains(QLatin1String(dia))
                     && pagina.contains(QStringLiteral("José da Conceição")),
                 qPrintable(pagina));
    }
    QCOMPARE(serieDe(QDate(2009, 3, 1)).dataImpressao, std::optional<QDate>(QDate::currentDate()));

    // Stored once: the series' boxes stay locked until "Novo".
    for (const char *nome : {"edtDescricao", "chkJaImpresso", "edtValor", "udNumParcelas", "cmbPeriodo", "btImprimir"})
        QVERIFY2(!c<QWidget>(nome)->isEnabled(), nome);
    for (const char *nome : {"btVisualizar", "grdParcelas", "btNovoCheque", "ToolButton1"})
        QVERIFY2(c<QWidget>(nome)->isEnabled(), nome);
}

void TestChequePreDatado::falhaAoSalvarTravaENovoDestrava()
{
    // A number past what the register's column holds: the insert fails.
    preenche(QDate(2009, 5, 10), QStringLiteral("10000"), 12, QStringLiteral("9999999999"));
    c("edtValorPeriodo")->setText(QStringLiteral("2"));
    c("edtCidade")->setText(QStringLiteral("Recife"));
    QTest::mouseClick(c<QPushButton>("btImprimir"), Qt::LeftButton);
    QVERIFY(caixas_->lastText().startsWith(QStringLiteral("Erro ao salvar dados dos cheques pré-datados: ")));
    QCOMPARE(caixas_->boxes.last().icon, MessagePresenter::Icon::Error);
    QVERIFY(caixas_->dialogTitles.isEmpty());
    QVERIFY(!c<QWidget>("btImprimir")->isEnabled() && !c<QWidget>("edtValor")->isEnabled());

    caixas_->answers = {true};
    QTest::mouseClick(c<QPushButton>("btNovoCheque"), Qt::LeftButton);
    QCOMPARE(caixas_->boxes.last().title, QStringLiteral("Norvl Cheque"));
    for (const char *nome : {"edtDescricao", "edtNumBanco", "edtValor", "edtAgencia", "edtConta", "edtNumCheque"})
        QVERIFY2(c(nome)->text().isEmpty(), nome);
    for (const char *nome : {"edtBanco", "edtNomeFavorecido", "edtCentroCusto", "edtTipoCompensacao"})
        QCOMPARE(c<CaixaBusca>(nome)->currentIndex(), -1);
    QCOMPARE((QStringList{c("edtCidade")->text(), c("edtNumParcelas")->text(), c("edtValorPeriodo")->text(),
                          c<QComboBox>("cmbPeriodo")->currentText()}),
             (QStringList{"Recife", "12", "2", "Mês(es)"}));
    QCOMPARE(c<DataLonga>("dtpDataCheque")->date(), QDate(2009, 5, 10));
    QCOMPARE(c<QTableWidget>("grdParcelas")->columnCount(), 4);
    QCOMPARE(celula(0, 0), QString());
    QVERIFY(!c<QLabel>("lblDadosCheque")->isVisible());
    for (const char *nome : {"edtValor", "edtBanco", "udNumParcelas", "btImprimir"})
        QVERIFY2(c<QWidget>(nome)->isEnabled(), nome);

    // Esc is "Sair", which asks first.
    QTest::keyClick(c("edtAgencia"), Qt::Key_Escape);
    QCOMPARE(caixas_->lastText(), QStringLiteral("Você tem certeza que deseja sair?"));
}

void TestChequePreDatado::visualizaParcela()
{
    preenche(QDate(2009, 1, 10), QStringLiteral("120000"), 12, QStringLiteral("100"));
    escolhe("edtCentroCusto", QStringLiteral("Obras"));
    c<QTableWidget>("grdParcelas")->setCurrentCell(2, 1);
    QStringList face;
    caixas_->dialogs.append([&](QDialog &d) {
        auto &v = dynamic_cast<TfrmCheque &>(d);
        for (const QLabel *l : {v.lblValor, v.lblParcela, v.lblNumCheque, v.lblNumBanco, v.lblBanco, v.lblAgencia})
            face << l->text();
        face << v.edtCentroCusto->text() << v.DataCheque.date().toString(Qt::ISODate)
             << QString::number(v.btImprimir->isHidden() + v.btImprimirCopia->isHidden()
                                + v.btCancelarCheque->isHidden());
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(c<QPushButton>("btVisualizar"), Qt::LeftButton);
    QCOMPARE(caixas_->dialogTitles,
             QStringList{QStringLiteral("Visualização do cheque de R$ 100,00 referente a 3ª parcela de 12")});
    QCOMPARE(face, (QStringList{"R$ 100,00", "3ª/12", "102", "237", "Bradesco", "1234-5", "Obras", "2009-03-10", "3"}));
}

NORVEL_UI_TEST_MAIN(TestChequePreDatado)
#include "test_chequepredatado.moc"
