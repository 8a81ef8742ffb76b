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
#include <QPushButton>
#include <QTableWidget>

class TestVisualizaPreDatado : public QObject {
    Q_OBJECT

private slots:
    void serieVisualizadaCanceladaEImpressa();
};

// Twelve monthly installments of 100,00 from 10/01/2009: the info line by the
// plan; the preview of a series never printed prints and copies but cancels
// nothing; a No to the cancel changes nothing; a run that printed marks the
// series printed today, after which the preview only shows.
void TestVisualizaPreDatado::serieVisualizadaCanceladaEImpressa()
{
    norvel::db::TestDatabase base;
    TdmNorvelCheque dm;
    dm.DataModuleCreate();
    const WriteResult banco = dm.insereBanco({0, "341", "Itaú", "I", ImpressoraNaPorta::Leiaute}, QString());
    QVERIFY(banco);
    ImpressoraNaPorta impressora({341});
    RegistroPreDatado s;
    s.idBanco = banco.chave;
    s.numInicialCheque = QStringLiteral("500");
    s.valor = Money::fromCentavos(120000);
    s.dataInicialEmissao = QDate(2009, 1, 10);
    s.numParcelas = 12;
    s.valorPeriodoImpressao = 1;
    s.periodoImpressao = QStringLiteral("Mês(es)");
    QVERIFY(dm.inserePreDatado(s, QString()));
    const auto lida = [&] {
        return TdmNorvelCheque::preDatadoDaLinha(dm.consultaPreDatadosPorData(s.dataInicialEmissao), 0);
    };

    RecordingPresenter caixas;
    caixas.answers = {false, true, true, true}; // cancel No, Yes; the run's start and close
    caixas.choices = {MessagePresenter::Answer::Cancel};
    const Contexto contexto{ImpressoraNaPorta::Porta, QString(), &dm};
    QWidget dono;
    TfrmVisualizaPreDatado v(contexto, &dono);
    v.preenche(lida());
    VERIFICA_ROTULOS_INTEIROS(v);
    const auto botao = [&](const char *nome) { return v.findChild<QPushButton *>(QLatin1String(nome)); };
    // Opens the preview of the installment selected; acao looks at it.
    const auto visualiza = [&](const std::function<void(TfrmCheque &)> &acao) {
        caixas.dialogs.append([acao](QDialog &d) {
            acao(static_cast<TfrmCheque &>(d));
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(botao("btVisualizar"), Qt::LeftButton);
    };
    const auto passos = [&] {
        v.findChild<QTableWidget *>(QStringLiteral("grdParcelas"))->setCurrentCell(1, 3);
        QCOMPARE(v.findChild<QLabel *>(QStringLiteral("lblDadosCheque"))->text(),
                 QStringLiteral("12ª parcela de 12 no valor de R$ 100,00 a ser debitado em 10/12/2009"));
        if (!qEnvironmentVariableIsEmpty("NORVEL_CAPTURAS"))
            v.grab().save(qEnvironmentVariable("NORVEL_CAPTURAS") + QStringLiteral("/visualiza-predatado.png"));
        visualiza([](TfrmCheque &visor) {
            QCOMPARE(visor.windowTitle(),
                     QStringLiteral("Visualização do cheque de R$ 100,00 referente a 12ª parcela de 12"));
            QCOMPARE(visor.lblNumCheque->text(), QStringLiteral("511"));
            QVERIFY(visor.btCancelarCheque->isHidden() && !visor.btImprimirCopia->isHidden());
            QVERIFY(!visor.btImprimir->isHidden() && visor.btImprimir->isEnabled());
        });
        QTest::mouseClick(botao("btCancelaPredatado"), Qt::LeftButton);
        QVERIFY(lida().status == 0 && botao("btCancelaPredatado")->isEnabled());
        QTest::mouseClick(botao("btCancelaPredatado"), Qt::LeftButton);
        QVERIFY(lida().status == 1 && !botao("btCancelaPredatado")->isEnabled());

        caixas.dialogs.append([](QDialog &run) {
            static_cast<TfrmImprimePreDatados &>(run).setEsperaImpressao(std::chrono::milliseconds(0));
            run.show();
            QTest::mouseClick(run.findChild<QPushButton *>(QStringLiteral("btImprimir")), Qt::LeftButton);
            run.close();
            return run.result();
        });
        QTest::mouseClick(botao("btImprimir"), Qt::LeftButton);
        QCOMPARE(botao("btImprimir")->text(), QStringLiteral("Reimprimir cheques"));
        QVERIFY(!v.findChild<QWidget *>(QStringLiteral("lblDataImpressao"))->isHidden());
        QCOMPARE(v.findChild<DataLonga *>(QStringLiteral("dtpImpressao"))->date(), QDate::currentDate());
        QVERIFY(lida().jaImpresso && lida().dataImpressao == QDate::currentDate());
        visualiza([](TfrmCheque &visor) {
            QVERIFY(visor.btImprimir->isHidden() && visor.btImprimirCopia->isHidden());
            QCOMPARE(visor.dtpDataImpressao->date(), QDate::currentDate());
        });
    };
    caixas.dialogs.append([&](QDialog &) {
        v.show();
        passos();
        v.close();
        return 0;
    });
    v.executa();
    const QString pagina = impressora.pagina(QStringLiteral("cheque"), 1);
    QVERIFY2(pagina.contains(QStringLiteral("100,00")) && pagina.contains(QStringLiteral("janeiro")), qPrintable(pagina));
}

NORVEL_UI_TEST_MAIN(TestVisualizaPreDatado)
#include "test_visualizapredatado.moc"
