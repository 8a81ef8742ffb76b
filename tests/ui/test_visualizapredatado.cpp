// The post-dated series viewer filled from a stored series as the query
// window fills it, on a fresh database; its printing run prints on the
// virtual printer as COM7.

#include "DataLonga.h"
#include "ImpressoraNaPorta.h"
#include "RecordingPresenter.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uCheque.h"
#include "uDMNorvelCheque.h"
#include "uImprimePreDatados.h"
#include "uVisualizaPreDatado.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

class TestVisualizaPreDatado : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase()
    {
        impressora_.reset();
        dm_.reset();
        base_.reset();
    }
    void init() { caixas_ = std::make_unique<RecordingPresenter>(); }
    void cleanup()
    {
        caixas_.reset();
        VERIFICA_SEM_JANELAS();
    }

    void mostraVisualizaECancela();
    void imprimeEMarcaImpresso();

private:
    // A series of count installments of 100,00 each from data, stored and
    // read back as the query reads it.
    RegistroPreDatado serie(const QDate &data, int parcelas)
    {
        RegistroPreDatado s;
        s.idBanco = idBanco_;
        s.agencia = QStringLiteral("0001");
        s.conta = QStringLiteral("123-4");
        s.numInicialCheque = QStringLiteral("500");
        s.cidade = QStringLiteral("Maceió");
        s.valor = Money::fromCentavos(10000 * parcelas);
        s.dataInicialEmissao = data;
        s.numParcelas = parcelas;
        s.valorPeriodoImpressao = 1;
        s.periodoImpressao = QStringLiteral("Mês(es)");
        s.descricao = QStringLiteral("Reforma");
        const WriteResult gravado = dm_->inserePreDatado(s, QString());
        return gravado ? lida(data) : RegistroPreDatado();
    }
    RegistroPreDatado lida(const QDate &data)
    {
        return TdmNorvelCheque::preDatadoDaLinha(dm_->consultaPreDatadosPorData(data), 0);
    }
    // Runs the viewer through the seam; acao works it.
    void executa(const RegistroPreDatado &s, const std::function<void(TfrmVisualizaPreDatado &)> &acao)
    {
        QWidget dono;
        TfrmVisualizaPreDatado v(contexto_, &dono);
        v.preenche(s);
        caixas_->dialogs.append([&](QDialog &d) {
            d.show();
            acao(v);
            d.close();
            return d.result();
        });
        v.executa();
    }
    template <typename T = QPushButton> static T *c(QWidget &w, const char *nome)
    {
        return w.findChild<T *>(QLatin1String(nome));
    }
    // Opens the preview of the installment selected; acao looks at it.
    void visualiza(TfrmVisualizaPreDatado &v, const std::function<void(TfrmCheque &)> &acao)
    {
        caixas_->dialogs.append([acao](QDialog &d) {
            acao(static_cast<TfrmCheque &>(d));
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(c(v, "btVisualizar"), Qt::LeftButton);
    }

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<ImpressoraNaPorta> impressora_;
    std::unique_ptr<RecordingPresenter> caixas_;
    Contexto contexto_{ImpressoraNaPorta::Porta, QString()};
    int idBanco_ = 0;
};

void TestVisualizaPreDatado::initTestCase()
{
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
    contexto_.dados = dm_.get();
    const WriteResult banco = dm_->insereBanco({0, "341", "Itaú", "I", ImpressoraNaPorta::Leiaute}, QString());
    QVERIFY(banco);
    idBanco_ = banco.chave;
    impressora_ = std::make_unique<ImpressoraNaPorta>(QList<int>{341});
}

// The grid by the plan and the info line; the preview of a series never
// printed prints and copies but cancels nothing; the series is cancelled
// after a No that changes nothing, and can still be previewed.
void TestVisualizaPreDatado::mostraVisualizaECancela()
{
    const QDate data(2009, 1, 10);
    const RegistroPreDatado s = serie(data, 12);
    caixas_->answers = {false, true};
    executa(s, [&](TfrmVisualizaPreDatado &v) {
        QVERIFY(!c<QLineEdit>(v, "edtValor")->isEnabled());
        QCOMPARE(c<QLineEdit>(v, "edtValor")->text(), QStringLiteral("1200,00"));
        c<QTableWidget>(v, "grdParcelas")->setCurrentCell(1, 3);
        QCOMPARE(c<QLabel>(v, "lblDadosCheque")->text(),
                 QStringLiteral("12ª parcela de 12 no valor de R$ 100,00 a ser debitado em 10/12/2009"));
        if (!qEnvironmentVariableIsEmpty("NORVEL_CAPTURAS"))
            v.grab().save(qEnvironmentVariable("NORVEL_CAPTURAS") + QStringLiteral("/visualiza-predatado.png"));
        visualiza(v, [](TfrmCheque &visor) {
            QCOMPARE(visor.windowTitle(), QStringLiteral("Visualização do cheque de R$ 100,00 referente a 12ª parcela de 12"));
            QCOMPARE(visor.lblNumCheque->text(), QStringLiteral("511"));
            QVERIFY(visor.btCancelarCheque->isHidden());
            QVERIFY(!visor.btImprimirCopia->isHidden() && visor.btImprimir->isEnabled());
        });
        c(v, "btCancelaPredatado")->click();
        QCOMPARE(lida(data).status, 0);
        QVERIFY(c(v, "btCancelaPredatado")->isEnabled());
        c(v, "btCancelaPredatado")->click();
        QCOMPARE(lida(data).status, 1);
        QVERIFY(!c(v, "btCancelaPredatado")->isEnabled());
        visualiza(v, [](TfrmCheque &visor) { QCOMPARE(visor.lblParcela->text(), QStringLiteral("12ª/12")); });
    });
    QCOMPARE(caixas_->dialogTitles.size(), 3);
}

// A run that printed marks the series printed today; the preview of a
// printed series only shows.
void TestVisualizaPreDatado::imprimeEMarcaImpresso()
{
    const QDate data(2009, 2, 10);
    const RegistroPreDatado s = serie(data, 2);
    caixas_->answers = {true, true};
    caixas_->choices = {MessagePresenter::Answer::Cancel};
    executa(s, [&](TfrmVisualizaPreDatado &v) {
        QCOMPARE(c(v, "btImprimir")->text(), QStringLiteral("Imprimir Cheques"));
        QVERIFY(c<QWidget>(v, "dtpImpressao")->isHidden());
        caixas_->dialogs.append([](QDialog &run) {
            static_cast<TfrmImprimePreDatados &>(run).setEsperaImpressao(std::chrono::milliseconds(0));
            run.show();
            QTest::mouseClick(run.findChild<QPushButton *>(QStringLiteral("btImprimir")), Qt::LeftButton);
            run.close();
            return run.result();
        });
        QTest::mouseClick(c(v, "btImprimir"), Qt::LeftButton);
        QCOMPARE(c(v, "btImprimir")->text(), QStringLiteral("Reimprimir cheques"));
        QVERIFY(!c<QWidget>(v, "dtpImpressao")->isHidden() && !c<QWidget>(v, "lblDataImpressao")->isHidden());
        QCOMPARE(c<DataLonga>(v, "dtpImpressao")->date(), QDate::currentDate());
        const RegistroPreDatado gravada = lida(data);
        QVERIFY(gravada.jaImpresso && gravada.dataImpressao == QDate::currentDate());
        visualiza(v, [](TfrmCheque &visor) {
            QVERIFY(visor.btImprimir->isHidden() && visor.btImprimirCopia->isHidden()
                    && visor.btCancelarCheque->isHidden());
            QCOMPARE(visor.dtpDataImpressao->date(), QDate::currentDate());
        });
    });
    const QString pagina = impressora_->pagina(QStringLiteral("cheque"), 1);
    QVERIFY2(pagina.contains(QStringLiteral("100,00")) && pagina.contains(QStringLiteral("fevereiro")),
             qPrintable(pagina));
}

NORVEL_UI_TEST_MAIN(TestVisualizaPreDatado)
#include "test_visualizapredatado.moc"
