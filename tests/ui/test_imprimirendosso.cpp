// The endorsement window driven by its control names, printing on the
// virtual printer as COM7; the library calls it makes are recorded on their
// way there.

#include "ImpressoraNaPorta.h"
#include "LumoraSpy.h"
#include "RecordingPresenter.h"
#include "UiTest.h"
#include "Windows1252.h"
#include "uImprimirEndosso.h"

#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <memory>

namespace {

const QString Enviado = QStringLiteral("Comando enviado para Impressora");
const QString NaoEnviado = QStringLiteral("Não foi possível enviar o comando pela porta serial.\n"
                                          "Verifique se a porta de comunicação está disponível e tente novamente.");
const QString Limite = QStringLiteral("O número de linhas por cheque não pode ultrapassar 20 linhas");

} // namespace

class TestImprimirEndosso : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void aparenciaESair();
    void duasLinhasChegamAImpressora();
    void vinteLinhasEAVigesimaPrimeira();
    void textoColado();
    void editorVazioEjeta();
    void falhas_data();
    void falhas();

private:
    QPlainTextEdit *editor() { return janela_->findChild<QPlainTextEdit *>(QStringLiteral("edtEndosso")); }
    void imprime();
    // The one box shown, a plain one under the program's title.
    void confereCaixa(const QString &texto);
    QList<QByteArray> blocos() const;

    std::unique_ptr<ImpressoraNaPorta> impressora_;
    std::unique_ptr<RecordingPresenter> caixas_;
    Contexto contexto_;
    TfrmImprimirEndosso *janela_ = nullptr;
};

void TestImprimirEndosso::initTestCase()
{
    impressora_ = std::make_unique<ImpressoraNaPorta>(QList<int>{});
}

void TestImprimirEndosso::cleanupTestCase()
{
    impressora_.reset();
}

void TestImprimirEndosso::init()
{
    caixas_ = std::make_unique<RecordingPresenter>();
    contexto_.portaCOM = ImpressoraNaPorta::Porta;
    janela_ = new TfrmImprimirEndosso(contexto_);
    janela_->show();
    QVERIFY(QTest::qWaitForWindowExposed(janela_));
    QVERIFY(editor());
    editor()->setFocus();
    lumoraCalls().clear();
    lumoraRefusing().clear();
}

void TestImprimirEndosso::cleanup()
{
    if (janela_)
        janela_->close();
    janela_ = nullptr;
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

void TestImprimirEndosso::imprime()
{
    auto *bt = janela_->findChild<QPushButton *>(QStringLiteral("btImprimir"));
    QVERIFY(bt);
    QTest::mouseClick(bt, Qt::LeftButton);
}

void TestImprimirEndosso::confereCaixa(const QString &texto)
{
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::None);
    QCOMPARE(caixas_->boxes[0].text, texto);
    caixas_->boxes.clear();
}

QList<QByteArray> TestImprimirEndosso::blocos() const
{
    QList<QByteArray> enviados;
    for (const LumoraCall &chamada : lumoraCalls())
        if (chamada.name == "Lumora_EnviaBloco")
            enviados.append(chamada.bytes);
    return enviados;
}

void TestImprimirEndosso::aparenciaESair()
{
    QCOMPARE(janela_->windowTitle(), QStringLiteral("Imprimir Endosso de Cheque"));
    QCOMPARE(janela_->minimumSize(), janela_->maximumSize());
    QCOMPARE(editor()->width(), 617);
    const QFontInfo letra(editor()->font());
    QVERIFY(letra.fixedPitch());
    QCOMPARE(letra.pixelSize(), 13);

    // Twenty lines show whole, without scroll bars.
    QStringList linhas;
    for (int i = 1; i <= TfrmImprimirEndosso::MaxLinhas; ++i)
        linhas.append(QString::number(i));
    editor()->setPlainText(linhas.join(u'\n'));
    editor()->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    QVERIFY(editor()->viewport()->rect().contains(editor()->cursorRect()));
    QCOMPARE(editor()->verticalScrollBar()->value(), 0);
    QVERIFY(!editor()->verticalScrollBar()->isVisible());
    const QString capturas = qEnvironmentVariable("NORVEL_CAPTURAS");
    if (!capturas.isEmpty())
        janela_->grab().save(capturas + QStringLiteral("/imprimirendosso.png"));

    // Esc asks, No stays; "Sair" answered Yes closes.
    QTest::keyClick(editor(), Qt::Key_Escape);
    QCOMPARE(caixas_->lastText(), QStringLiteral("Deseja realmente sair?"));
    QVERIFY(janela_->isVisible());
    caixas_->answers = {true};
    QTest::mouseClick(janela_->findChild<QPushButton *>(QStringLiteral("btSair")), Qt::LeftButton);
    QVERIFY(caixas_->boxes.last().question);
    QVERIFY(!janela_->isVisible());
    janela_ = nullptr;
}

void TestImprimirEndosso::duasLinhasChegamAImpressora()
{
    const qsizetype documentos = impressora_->paginas(QStringLiteral("document")).size();
    QTest::keyClicks(editor(), QStringLiteral("Endosso"));
    QTest::keyClick(editor(), Qt::Key_Return);
    QTest::keyClicks(editor(), QStringLiteral("Pague-se a ordem"));
    imprime();
    confereCaixa(Enviado);
    QCOMPARE(lumoraCallSummary(), QByteArray("Lumora_Abre Lumora_EnviaBloco Lumora_EnviaBloco Lumora_Ejeta Lumora_Fecha"));
    QCOMPARE(blocos(), (QList<QByteArray>{"     Endosso\n", "     Pague-se a ordem\n"}));
    QCOMPARE(blocos()[0].size(), 13);
    QCOMPARE(blocos()[1].size(), 22);

    const QString pagina = impressora_->pagina(QStringLiteral("document"), int(documentos) + 1);
    QCOMPARE(pagina.split(u'\n').mid(0, 2), (QStringList{QStringLiteral("     Endosso"),
                                                          QStringLiteral("     Pague-se a ordem")}));
}

void TestImprimirEndosso::vinteLinhasEAVigesimaPrimeira()
{
    // Eighteen lines, then one that wraps into two: twenty as shown. The
    // printer gets Windows-1252 and no control character.
    QStringList linhas;
    for (int i = 1; i <= 18; ++i)
        linhas.append(QStringLiteral("Linha %1").arg(i));
    linhas[0] += QChar(0x1B);
    const QString longa = QStringLiteral("Pague-se à ordem de ") + QStringLiteral("Fulano de Tal ").repeated(6);
    linhas.append(longa);
    editor()->setPlainText(linhas.join(u'\n'));
    const QStringList exibidas = janela_->linhasExibidas();
    QCOMPARE(exibidas.size(), 20);
    QCOMPARE(exibidas[18] + exibidas[19], longa);

    imprime();
    confereCaixa(Enviado);
    const QList<QByteArray> enviados = blocos();
    QCOMPARE(enviados.size(), 20);
    QVERIFY(lumoraCallSummary().endsWith("Lumora_EnviaBloco Lumora_Ejeta Lumora_Fecha"));
    QCOMPARE(enviados[0], QByteArray("     Linha 1?\n"));
    QCOMPARE(enviados[17], QByteArray("     Linha 18\n"));
    QCOMPARE(enviados[18], "     " + toWindows1252(exibidas[18]) + '\n');
    QVERIFY(enviados[18].startsWith("     Pague-se \xE0 ordem de Fulano"));
    QCOMPARE(enviados[19], "     " + toWindows1252(exibidas[19]) + '\n');

    // Enter at the end of line 20 starts a 21st; the next key goes and so
    // does that line.
    const QString vinte = editor()->toPlainText();
    editor()->moveCursor(QTextCursor::End);
    QTest::keyClick(editor(), Qt::Key_Return);
    QCOMPARE(janela_->linhasExibidas().size(), 21);
    QVERIFY(caixas_->boxes.isEmpty());
    QTest::keyClick(editor(), Qt::Key_A);
    confereCaixa(Limite);
    QCOMPARE(editor()->toPlainText(), vinte);
}

void TestImprimirEndosso::textoColado()
{
    // Twenty-five lines of 64 characters, cut at 1500 characters.
    QStringList linhas;
    for (int i = 1; i <= 25; ++i)
        linhas.append(QStringLiteral("%1 ").arg(i, 2, 10, QLatin1Char('0')) + QString(61, u'e'));
    const QString colado = linhas.join(u'\n');
    QGuiApplication::clipboard()->setText(colado);
    QTest::keyClick(editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editor()->toPlainText(), colado.left(TfrmImprimirEndosso::MaxCaracteres));
    QCOMPARE(janela_->linhasExibidas().size(), 24);
    QVERIFY(caixas_->boxes.isEmpty());

    QTest::keyClick(editor(), Qt::Key_End);
    confereCaixa(Limite);
    QCOMPARE(janela_->linhasExibidas(), linhas.mid(0, 20));
}

void TestImprimirEndosso::editorVazioEjeta()
{
    imprime();
    confereCaixa(Enviado);
    QCOMPARE(lumoraCallSummary(), QByteArray("Lumora_Abre Lumora_Ejeta Lumora_Fecha"));
}

void TestImprimirEndosso::falhas_data()
{
    QTest::addColumn<int>("porta");
    QTest::addColumn<QByteArray>("recusada");
    QTest::addColumn<QByteArray>("chamadas");
    QTest::addColumn<QString>("mensagem");
    QTest::newRow("port does not open") << 0 << QByteArray() << QByteArray("Lumora_Abre")
                                        << QStringLiteral("Não foi possível abrir a porta serial");
    QTest::newRow("send refused") << int(ImpressoraNaPorta::Porta) << QByteArray("Lumora_EnviaBloco")
                                  << QByteArray("Lumora_Abre Lumora_EnviaBloco Lumora_Fecha") << NaoEnviado;
    QTest::newRow("eject refused") << int(ImpressoraNaPorta::Porta) << QByteArray("Lumora_Ejeta")
                                   << QByteArray("Lumora_Abre Lumora_EnviaBloco Lumora_EnviaBloco Lumora_Ejeta "
                                                 "Lumora_Fecha")
                                   << NaoEnviado;
}

void TestImprimirEndosso::falhas()
{
    QFETCH(int, porta);
    QFETCH(QByteArray, recusada);
    QFETCH(QByteArray, chamadas);
    QFETCH(QString, mensagem);
    contexto_.portaCOM = porta;
    lumoraRefusing() = recusada;
    editor()->setPlainText(QStringLiteral("Endosso\nPague-se a ordem"));
    imprime();
    confereCaixa(mensagem);
    QCOMPARE(lumoraCallSummary(), chamadas);
}

NORVEL_UI_TEST_MAIN(TestImprimirEndosso)
#include "test_imprimirendosso.moc"
