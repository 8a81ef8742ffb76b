// The endorsement window printing on the virtual printer as COM7, the
// library calls it makes recorded on their way there.

#include "ImpressoraNaPorta.h"
#include "LumoraSpy.h"
#include "RecordingPresenter.h"
#include "UiTest.h"
#include "Windows1252.h"
#include "uImprimirEndosso.h"

#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>

const QString Enviado = QStringLiteral("Comando enviado para Impressora");
const QString Limite = QStringLiteral("O número de linhas por cheque não pode ultrapassar 20 linhas");

class TestImprimirEndosso : public QObject {
    Q_OBJECT

    ImpressoraNaPorta impressora_{QList<int>()};
    RecordingPresenter caixas_;
    Contexto contexto_;
    TfrmImprimirEndosso *janela_ = nullptr;
    QPlainTextEdit *editor_ = nullptr;

    void imprime() { QTest::mouseClick(janela_->findChild<QPushButton *>("btImprimir"), Qt::LeftButton); }
    // The only box since the last look: a plain one under the program's title.
    void confereCaixa(const QString &texto)
    {
        QCOMPARE(caixas_.boxes.size(), 1);
        const RecordingPresenter::Box caixa = caixas_.boxes.takeFirst();
        QCOMPARE(caixa.title + u'|' + caixa.text, QStringLiteral("Norvel Cheque|") + texto);
        QCOMPARE(caixa.icon, MessagePresenter::Icon::None);
    }
    static QList<QByteArray> blocos()
    {
        QList<QByteArray> enviados;
        for (const LumoraCall &chamada : lumoraCalls())
            if (chamada.name == "Lumora_EnviaBloco")
                enviados.append(chamada.bytes);
        return enviados;
    }

private slots:
    void init()
    {
        caixas_.boxes.clear();
        contexto_.portaCOM = ImpressoraNaPorta::Porta;
        janela_ = new TfrmImprimirEndosso(contexto_);
        janela_->show();
        QVERIFY(QTest::qWaitForWindowExposed(janela_));
        editor_ = janela_->findChild<QPlainTextEdit *>("edtEndosso");
        QVERIFY(editor_);
        lumoraCalls().clear();
        lumoraRefusing().clear();
    }
    void cleanup()
    {
        janela_->close();
        VERIFICA_SEM_JANELAS();
    }

    void duasLinhasChegamAImpressora()
    {
        const qsizetype documentos = impressora_.paginas(QStringLiteral("document")).size();
        QTest::keyClicks(editor_, QStringLiteral("Endosso"));
        // A line broken by Shift+Enter is a line like any other.
        QTest::keyClick(editor_, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(editor_, QStringLiteral("Pague-se a ordem"));
        imprime();
        confereCaixa(Enviado);
        QCOMPARE(lumoraCallSummary(), "Lumora_Abre Lumora_EnviaBloco Lumora_EnviaBloco Lumora_Ejeta Lumora_Fecha");
        QCOMPARE(blocos(), (QList<QByteArray>{"     Endosso\n", "     Pague-se a ordem\n"}));
        const QString pagina = impressora_.pagina(QStringLiteral("document"), int(documentos) + 1);
        QCOMPARE(pagina.split(u'\n').mid(0, 2), (QStringList{"     Endosso", "     Pague-se a ordem"}));
    }

    void vinteLinhasEAVigesimaPrimeira()
    {
        // Eighteen lines and one that wraps in two: twenty as shown, all in
        // sight. The printer gets Windows-1252 and no control character.
        QStringList linhas;
        for (int i = 1; i <= 18; ++i)
            linhas.append(QStringLiteral("Linha %1").arg(i));
        linhas[0] += QChar(0x1B);
        linhas.append(QStringLiteral("Pague-se à ordem de ") + QStringLiteral("Fulano de Tal ").repeated(6));
        editor_->setPlainText(linhas.join(u'\n'));
        editor_->moveCursor(QTextCursor::End);
        QCoreApplication::processEvents();
        QVERIFY(editor_->viewport()->rect().contains(editor_->cursorRect()));
        if (const QString capturas = qEnvironmentVariable("NORVEL_CAPTURAS"); !capturas.isEmpty())
            janela_->grab().save(capturas + QStringLiteral("/imprimirendosso.png"));
        const QStringList exibidas = janela_->linhasExibidas();
        QCOMPARE(exibidas.size(), 20);
        QCOMPARE(exibidas[18] + exibidas[19], linhas[18]);

        imprime();
        confereCaixa(Enviado);
        const QList<QByteArray> enviados = blocos();
        QCOMPARE(enviados.size(), 20);
        QVERIFY(lumoraCallSummary().endsWith("Lumora_EnviaBloco Lumora_Ejeta Lumora_Fecha"));
        QCOMPARE(enviados[0], "     Linha 1?\n");
        QCOMPARE(enviados[18] + enviados[19], "     " + toWindows1252(exibidas[18]) + "\n     "
                                                  + toWindows1252(exibidas[19]) + '\n');

        // Enter at the end of line 20 starts a 21st; the next key goes, and
        // so does that line.
        const QString vinte = editor_->toPlainText();
        QTest::keyClick(editor_, Qt::Key_Return);
        QCOMPARE(janela_->linhasExibidas().size(), 21);
        QTest::keyClick(editor_, Qt::Key_A);
        confereCaixa(Limite);
        QCOMPARE(editor_->toPlainText(), vinte);
    }

    void textoColadoEEsc()
    {
        // Twenty-five lines of 64 characters, cut at 1500 characters, then
        // at twenty lines by the next key.
        QStringList linhas;
        for (int i = 10; i < 35; ++i)
            linhas.append(QString::number(i) + QString(62, u'e'));
        QGuiApplication::clipboard()->setText(linhas.join(u'\n'));
        QTest::keyClick(editor_, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor_->toPlainText(), linhas.join(u'\n').left(TfrmImprimirEndosso::MaxCaracteres));
        QCOMPARE(janela_->linhasExibidas().size(), 24);
        QTest::keyClick(editor_, Qt::Key_End);
        confereCaixa(Limite);
        QCOMPARE(janela_->linhasExibidas(), linhas.mid(0, 20));

        QTest::keyClick(editor_, Qt::Key_Escape);
        QCOMPARE(caixas_.lastText(), QStringLiteral("Deseja realmente sair?"));
        QVERIFY(janela_->isVisible());
    }

    void resultados()
    {
        const QString falhou = QStringLiteral("Não foi possível enviar o comando pela porta serial.\n"
                                              "Verifique se a porta de comunicação está disponível e tente novamente.");
        const int porta = ImpressoraNaPorta::Porta;
        const struct {
            int porta;
            const char *texto, *recusada, *chamadas;
            QString mensagem;
        } casos[] = {
            {porta, "", "", "Abre Ejeta Fecha", Enviado},
            {0, "a\nb", "", "Abre", QStringLiteral("Não foi possível abrir a porta serial")},
            {porta, "a\nb", "Lumora_EnviaBloco", "Abre EnviaBloco Fecha", falhou},
            {porta, "a\nb", "Lumora_Ejeta", "Abre EnviaBloco EnviaBloco Ejeta Fecha", falhou},
        };
        for (const auto &caso : casos) {
            contexto_.portaCOM = caso.porta;
            lumoraRefusing() = caso.recusada;
            lumoraCalls().clear();
            editor_->setPlainText(QString::fromUtf8(caso.texto));
            imprime();
            confereCaixa(caso.mensagem);
            QCOMPARE(lumoraCallSummary().replace("Lumora_", ""), caso.chamadas);
        }
    }
};

NORVEL_UI_TEST_MAIN(TestImprimirEndosso)
#include "test_imprimirendosso.moc"
