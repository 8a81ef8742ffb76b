// The shared pieces of the entry windows and viewers, each on a small window
// of its own over a fresh database: look-up box, bank pair, amount box, long
// date and cheque face.

#include "CaixaBusca.h"
#include "CaixaValor.h"
#include "DataLonga.h"
#include "FaceCheque.h"
#include "FiltroTeclas.h"
#include "ParBanco.h"
#include "RecordingPresenter.h"
#include "RegrasSaida.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uDMNorvelCheque.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>

#include <memory>

class TestPecas : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void caixaBuscaNuloEReaberturas();
    void caixaBuscaPorDigitacao();
    void parBancoPorNumeroEPorNome();
    void formataValor_data();
    void formataValor();
    void caixaValorAoSair();
    void caixaValorColadoInvalido();
    void filtroDaConta();
    void dataLongaEmQualquerLocale();
    void dataLongaDigitada_data();
    void dataLongaDigitada();
    void dataLongaDepoisDeUmClique();
    void faceCheque();

private:
    // A shown, active window of the given boxes, one under the other.
    QWidget *janela(const QList<QWidget *> &caixas);
    int insereFavorecido(const QString &nome);

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<QWidget> janela_;
};

void TestPecas::initTestCase()
{
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
    // Inserted in this order: the bank list has no order of its own.
    for (const auto &[numero, nome] : {std::pair{"237", "Bradesco"}, {"023", "Banco Vinte e Três"},
                                       {"341", "Itaú"}, {"104", "Caixa Econômica"}}) {
        const WriteResult r = dm_->insereBanco({0, QLatin1String(numero), QString::fromUtf8(nome), QStringLiteral("B"),
                                                QStringLiteral("016080050880060180070180125247546075")},
                                               QString());
        QVERIFY2(r, qPrintable(r.message));
    }
}

void TestPecas::cleanupTestCase()
{
    dm_.reset();
    base_.reset();
}

void TestPecas::cleanup()
{
    janela_.reset();
    dm_->FiltroBanco.clear();
    dm_->ListaBancos2.reopen();
    VERIFICA_SEM_JANELAS();
}

QWidget *TestPecas::janela(const QList<QWidget *> &caixas)
{
    janela_ = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(janela_.get());
    for (QWidget *caixa : caixas)
        layout->addWidget(caixa);
    janela_->show();
    janela_->activateWindow();
    if (!QTest::qWaitForWindowActive(janela_.get()))
        qWarning("window not active: focus events will not come");
    return janela_.get();
}

int TestPecas::insereFavorecido(const QString &nome)
{
    const WriteResult r = dm_->gravar(dm_->spInsereFavorecido, {{QStringLiteral("NOMEFAVORECIDO"), nome}}, QString(),
                                      {&dm_->ListaFavorecidos});
    if (!r)
        qWarning("%s", qPrintable(r.message));
    return dm_->spInsereFavorecido.output(QStringLiteral("IDFAVORECIDO")).toInt();
}

void TestPecas::caixaBuscaNuloEReaberturas()
{
    auto *caixa = new CaixaBusca;
    caixa->liga(dm_->ListaFavorecidos, QStringLiteral("IDFAVORECIDO"), QStringLiteral("NOMEFAVORECIDO"));
    janela({caixa});
    QVERIFY(!caixa->isEditable());

    // Nothing chosen: NULL and no text, though the list has rows.
    QVERIFY(caixa->count() > 0);
    QCOMPARE(caixa->currentIndex(), -1);
    QVERIFY(!caixa->chave().isValid());
    QCOMPARE(caixa->chaveInteira(), std::nullopt);
    QCOMPARE(caixa->currentText(), QString());

    const int maria = insereFavorecido(QStringLiteral("Maria"));
    // Reopened with nothing chosen: still nothing.
    QCOMPARE(caixa->currentIndex(), -1);
    caixa->escolhe(maria);
    QCOMPARE(caixa->currentText(), QStringLiteral("Maria"));
    QCOMPARE(caixa->chaveInteira(), std::optional<int>(maria));

    // A new row sorted before the chosen one: the choice follows its key.
    const int ana = insereFavorecido(QStringLiteral("Ana"));
    QCOMPARE(caixa->currentText(), QStringLiteral("Maria"));
    QCOMPARE(caixa->chaveInteira(), std::optional<int>(maria));
    caixa->escolhe(ana);
    QCOMPARE(caixa->currentText(), QStringLiteral("Ana"));

    // The chosen row deleted: nothing chosen.
    const WriteResult apagado = dm_->gravar(dm_->spApagaFavorecido, {{QStringLiteral("IDFAVORECIDO"), ana}}, QString(),
                                            {&dm_->ListaFavorecidos});
    QVERIFY2(apagado, qPrintable(apagado.message));
    QCOMPARE(caixa->currentIndex(), -1);
    QVERIFY(!caixa->chave().isValid());
}

void TestPecas::caixaBuscaPorDigitacao()
{
    auto *caixa = new CaixaBusca;
    caixa->liga(dm_->ListaFavorecidos, QStringLiteral("IDFAVORECIDO"), QStringLiteral("NOMEFAVORECIDO"));
    for (const char *nome : {"Joselito", "Joana", "Josefa"})
        insereFavorecido(QLatin1String(nome));
    janela({caixa});
    caixa->setFocus();

    // Nothing chosen yet: the first name that starts with the letters.
    QTest::keyClicks(caixa, QStringLiteral("Jos"));
    QCOMPARE(caixa->currentText(), QStringLiteral("Josefa"));
    QTest::keyClick(caixa, Qt::Key_Down);
    QCOMPARE(caixa->currentText(), QStringLiteral("Joselito"));
    // Chosen: still the first, not the next after the chosen one.
    QTest::keyClicks(caixa, QStringLiteral("jo"));
    QCOMPARE(caixa->currentText(), QStringLiteral("Joana"));
    // No name goes on so: the choice stays.
    QTest::keyClicks(caixa, QStringLiteral("x"));
    QCOMPARE(caixa->currentText(), QStringLiteral("Joana"));
}

void TestPecas::parBancoPorNumeroEPorNome()
{
    auto *numero = new QLineEdit;
    numero->setMaxLength(3);
    auto *banco = new CaixaBusca;
    auto *depois = new QLineEdit;
    new ParBanco(numero, banco, *dm_);
    janela({numero, banco, depois});
    numero->setFocus();

    // 23 then Tab through the name: the number completes to 237.
    QTest::keyClicks(numero, QStringLiteral("23"));
    QCOMPARE(banco->currentText(), QStringLiteral("Bradesco"));
    QTest::keyClick(numero, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), banco);
    QTest::keyClick(banco, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), depois);
    QCOMPARE(numero->text(), QStringLiteral("237"));
    QCOMPARE(banco->chave(), dm_->ListaBancos2.value(0, QStringLiteral("IDBANCO")));

    // 0: the first bank whose number holds a 0; a letter is not typed.
    numero->setFocus();
    numero->clear();
    QTest::keyClicks(numero, QStringLiteral("x0"));
    QCOMPARE(numero->text(), QStringLiteral("0"));
    QCOMPARE(dm_->FiltroBanco, QStringLiteral("0"));
    QCOMPARE(banco->currentText(), QStringLiteral("Banco Vinte e Três"));

    // Emptied: the first bank of the whole list.
    QTest::keyClick(numero, Qt::Key_Backspace);
    QCOMPARE(dm_->ListaBancos2.rowCount(), 4);
    QCOMPARE(banco->currentText(), QStringLiteral("Bradesco"));

    // No bank holds 9: no name, and tabbing through leaves the number alone.
    QTest::keyClick(numero, Qt::Key_9);
    QCOMPARE(dm_->ListaBancos2.rowCount(), 0);
    QCOMPARE(banco->currentIndex(), -1);
    QCOMPARE(banco->currentText(), QString());
    QTest::keyClick(numero, Qt::Key_Tab);
    QTest::keyClick(banco, Qt::Key_Tab);
    QCOMPARE(numero->text(), QStringLiteral("9"));

    // By name: Down in the name box hands over the next bank's number.
    numero->setFocus();
    QTest::keyClick(numero, Qt::Key_Backspace);
    banco->setFocus();
    QTest::keyClick(banco, Qt::Key_Down);
    QCOMPARE(banco->currentText(), QStringLiteral("Banco Vinte e Três"));
    QCOMPARE(numero->text(), QStringLiteral("023"));
    // Picking from the drop-down hands it over when the list closes.
    banco->setCurrentIndex(dm_->ListaBancos2.locate(QStringLiteral("NUMBANCO"), QStringLiteral("104")));
    banco->showPopup();
    banco->hidePopup();
    QCOMPARE(numero->text(), QStringLiteral("104"));
}

void TestPecas::formataValor_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("avulso");
    QTest::addColumn<QString>("preDatado");
    QTest::newRow("um digito") << "5" << "0,05" << "0,05";
    QTest::newRow("dois digitos") << "45" << "0,45" << "0,45";
    QTest::newRow("cinco digitos") << "12345" << "123,45" << "123,45";
    QTest::newRow("zeros a esquerda") << "005" << "0,05" << "0,05";
    QTest::newRow("vazio") << "" << "0,00" << "0,00";
    // Formatting again changes nothing.
    QTest::newRow("ja formatado") << "123,45" << "123,45" << "123,45";
    QTest::newRow("ja formatado curto") << "0,05" << "0,05" << "0,05";
    // The two rules part on a comma in the wrong place and on a dot.
    QTest::newRow("virgula fora do lugar") << "1,5" << "0,15" << "1,5";
    QTest::newRow("duas virgulas") << "1,2,3" << "1,2,3" << "1,2,3";
    QTest::newRow("ponto") << "1.234" << "1.2,34" << "1.234";
}

void TestPecas::formataValor()
{
    QFETCH(QString, texto);
    QFETCH(QString, avulso);
    QFETCH(QString, preDatado);
    QCOMPARE(FormataValorAvulso(texto), avulso);
    QCOMPARE(FormataValorPreDatado(texto), preDatado);
}

void TestPecas::caixaValorAoSair()
{
    RecordingPresenter caixas;
    auto *valor = new CaixaValor;
    auto *serie = new CaixaValor;
    serie->setFormato(CaixaValor::Formato::PreDatado);
    auto *outra = new QLineEdit;
    QWidget *w = janela({valor, serie, outra});
    RegrasSaida regras(w);
    valor->saiPor(regras);
    serie->saiPor(regras);
    QSignalSpy formatado(valor, &CaixaValor::formatado);

    // The comma and letters are not typed; Tab still leaves.
    valor->setFocus();
    QTest::keyClicks(valor, QStringLiteral("1a,2x345"));
    QCOMPARE(valor->text(), QStringLiteral("12345"));
    QTest::keyClick(valor, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), serie);
    QCOMPARE(valor->text(), QStringLiteral("123,45"));
    QCOMPARE(formatado.count(), 1);
    QCOMPARE(valor->valor(), std::optional<Money>(Money::fromCentavos(12345)));

    // Leaving again changes nothing.
    valor->setFocus();
    outra->setFocus();
    QCOMPARE(valor->text(), QStringLiteral("123,45"));

    // An empty single-cheque box stays empty and says nothing; the series'
    // becomes 0,00.
    valor->setFocus();
    valor->clear();
    outra->setFocus();
    QCOMPARE(valor->text(), QString());
    QCOMPARE(formatado.count(), 2);
    serie->setFocus();
    outra->setFocus();
    QCOMPARE(serie->text(), QStringLiteral("0,00"));

    valor->setFocus();
    QTest::keyClick(valor, Qt::Key_5);
    outra->setFocus();
    QCOMPARE(valor->text(), QStringLiteral("0,05"));
    QVERIFY(caixas.boxes.isEmpty());
}

void TestPecas::caixaValorColadoInvalido()
{
    RecordingPresenter caixas;
    auto *valor = new CaixaValor;
    auto *outra = new QLineEdit;
    QWidget *w = janela({valor, outra});
    RegrasSaida regras(w);
    valor->saiPor(regras);
    QSignalSpy formatado(valor, &CaixaValor::formatado);

    // Only a paste gets past the key filter.
    valor->setFocus();
    valor->setText(QStringLiteral("1,2,3"));
    outra->setFocus();
    QCOMPARE(valor->text(), QStringLiteral("1,2,3"));
    QCOMPARE(formatado.count(), 0);
    QCOMPARE(caixas.boxes.size(), 1);
    QCOMPARE(caixas.boxes[0].icon, MessagePresenter::Icon::Error);
    QCOMPARE(caixas.boxes[0].text, Money::invalidText(QStringLiteral("1,2,3")));
    QCOMPARE(QApplication::focusWidget(), valor);
}

void TestPecas::filtroDaConta()
{
    auto *conta = new QLineEdit;
    auto *agencia = new QLineEdit;
    filtraConta(conta);
    filtraDigitos(agencia);
    janela({conta, agencia});
    conta->setFocus();
    QTest::keyClicks(conta, QStringLiteral("12a-3,"));
    QCOMPARE(conta->text(), QStringLiteral("12-3"));
    QTest::keyClick(conta, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), agencia);
    QTest::keyClicks(agencia, QStringLiteral("12a-3,"));
    QCOMPARE(agencia->text(), QStringLiteral("123"));
}

void TestPecas::dataLongaEmQualquerLocale()
{
    const QLocale antes;
    for (const QLocale &local : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        QLocale::setDefault(local);
        DataLonga data;
        data.setDateTime(QDateTime(QDate(2026, 12, 8), QTime(14, 35)));
        QCOMPARE(data.text(), QStringLiteral("8 de dezembro de 2026"));
        QCOMPARE(data.dateTime().time(), QTime(14, 35));
        QCOMPARE(DataLonga::formata(QDate(2009, 8, 7)), QStringLiteral("7 de agosto de 2009"));
        QVERIFY(data.calendarPopup());
    }
    QLocale::setDefault(antes);
}

void TestPecas::dataLongaDigitada_data()
{
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QDate>("data");
    QTest::newRow("digits only") << QStringLiteral("09122026") << QDate(2026, 12, 9);
    QTest::newRow("slashes") << QStringLiteral("9/12/2026") << QDate(2026, 12, 9);
    QTest::newRow("commas and blanks") << QStringLiteral("9, 12, 2026") << QDate(2026, 12, 9);
    QTest::newRow("one-digit month") << QStringLiteral("1/3/2027") << QDate(2027, 3, 1);
    QTest::newRow("short year") << QStringLiteral("5-7-27.") << QDate(2027, 7, 5);
    // The day typed comes back when the year has room for it.
    QTest::newRow("29 February") << QStringLiteral("29022028") << QDate(2028, 2, 29);
    QTest::newRow("31 in a short month") << QStringLiteral("31042026") << QDate(2026, 4, 30);
}

void TestPecas::dataLongaDigitada()
{
    QFETCH(QString, digitado);
    QFETCH(QDate, data);
    auto *antes = new QLineEdit;
    auto *caixa = new DataLonga;
    auto *depois = new QLineEdit;
    caixa->setDateTime(QDateTime(QDate(2025, 6, 15), QTime(14, 35)));
    janela({antes, caixa, depois});
    antes->setFocus();
    QTest::keyClick(antes, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), caixa);

    QTest::keyClicks(caixa, digitado);
    QCOMPARE(caixa->date(), data);
    QCOMPARE(caixa->text(), DataLonga::formata(data));
    QCOMPARE(caixa->time(), QTime(14, 35));
    QTest::keyClick(caixa, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), depois);
    QCOMPARE(caixa->date(), data);
}

void TestPecas::dataLongaDepoisDeUmClique()
{
    auto *caixa = new DataLonga;
    auto *antes = new QLineEdit;
    caixa->setDate(QDate(2025, 6, 15));
    janela({antes, caixa});
    antes->setFocus();
    // A click on the year that gives the focus: a whole date all the same.
    const QPoint ano(caixa->width() - 40, caixa->height() / 2);
    QTest::mouseClick(caixa, Qt::LeftButton, {}, ano);
    QCOMPARE(QApplication::focusWidget(), caixa);
    QTest::keyClicks(caixa, QStringLiteral("09122026"));
    QCOMPARE(caixa->date(), QDate(2026, 12, 9));
    // Once in, a click picks the part: the year alone.
    QTest::mouseClick(caixa, Qt::LeftButton, {}, ano);
    QTest::keyClicks(caixa, QStringLiteral("2030"));
    QCOMPARE(caixa->date(), QDate(2030, 12, 9));
}

void TestPecas::faceCheque()
{
    FaceCheque face;
    const QList<std::pair<const char *, QString>> textos = {
        {"lblNumCheque", QStringLiteral("000123")},
        {"lblNumBanco", QStringLiteral("237")},
        {"lblBanco", QStringLiteral("Banco Bradesco S.A.")},
        {"lblAgencia", QStringLiteral("1234")},
        {"lblConta", QStringLiteral("98765-4")},
        {"lblValor", QStringLiteral("R$ 1.234,56")},
        {"lblValorExtenso",
         QString::fromStdString(Money::fromCentavos(123456).extenso())},
        {"lblFavorecido", QStringLiteral("José Conceição de Araújo Júnior")},
        {"lblCidade", QStringLiteral("São José dos Pinhais")},
        {"lblData", DataLonga::formata(QDate(2026, 9, 30))},
        {"lblParcela", QStringLiteral("Parcela 2 de 12")},
    };
    for (const auto &[nome, texto] : textos) {
        QLabel *rotulo = face.findChild<QLabel *>(QLatin1String(nome));
        QVERIFY2(rotulo, nome);
        rotulo->setText(texto);
    }
    const QString arquivo = qEnvironmentVariable("NORVEL_CAPTURAS", QDir::tempPath()) + QStringLiteral("/facecheque.png");
    QVERIFY(face.grab().save(arquivo));
    qInfo("face: %s", qPrintable(arquivo));

    // Every text whole in its place.
    for (const auto &[nome, texto] : textos) {
        const QLabel *rotulo = face.findChild<QLabel *>(QLatin1String(nome));
        if (!rotulo->wordWrap())
            QVERIFY2(rotulo->fontMetrics().horizontalAdvance(texto) <= rotulo->width(), nome);
    }
    const auto posicao = [&](const char *nome) { return face.findChild<QLabel *>(QLatin1String(nome))->geometry(); };
    QCOMPARE(posicao("lblValorExtenso"), QRect(192, 96, 481, 33));
    // A blank between each caption and the text after it.
    for (const auto &[legenda, nome] : {std::pair{"Pague por este cheque a quantia de", "lblValorExtenso"},
                                        std::pair{"a", "lblFavorecido"}}) {
        const QLabel *campo = face.findChild<QLabel *>(QLatin1String(nome));
        const QLabel *rotulo = nullptr;
        for (const QLabel *l : face.findChildren<QLabel *>())
            if (l->text() == QLatin1String(legenda))
                rotulo = l;
        QVERIFY2(rotulo, legenda);
        QVERIFY2(campo->x() + std::max(0, campo->indent())
                     >= rotulo->x() + rotulo->fontMetrics().horizontalAdvance(rotulo->text() + QLatin1Char(' ')),
                 nome);
    }
    QCOMPARE(posicao("lblCidade"), QRect(352, 160, 206, 20));
    QCOMPARE(posicao("lblNumBanco").topLeft(), QPoint(112, 32));
    QCOMPARE(posicao("lblData").topLeft(), QPoint(568, 160));
    QCOMPARE(face.findChild<QLabel *>(QStringLiteral("lblValor"))->font().pixelSize(), 19);
    QVERIFY(face.findChild<QLabel *>(QStringLiteral("lblFavorecido"))->font().underline());
    QVERIFY(face.findChild<QLabel *>(QStringLiteral("lblBanco"))->font().bold());

}

NORVEL_UI_TEST_MAIN(TestPecas)
#include "test_pecas.moc"
