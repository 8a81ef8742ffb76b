// The day's copy when the program closes: made in the user's data folder, or
// reported in one box when it cannot be made, and closing goes on.
#include "CopiaAoFechar.h"
#include "RecordingPresenter.h"
#include "TestDatabase.h"
#include "TituloPrograma.h"
#include "UiTest.h"
#include "uDMNorvelCheque.h"

#include <QDate>
#include <QDir>
#include <QTemporaryDir>

class TstCopiaAoFechar : public QObject {
    Q_OBJECT

private slots:
    void copiaFeitaOuRelatadaUmaVez_data();
    void copiaFeitaOuRelatadaUmaVez();
};

void TstCopiaAoFechar::copiaFeitaOuRelatadaUmaVez_data()
{
    QTest::addColumn<QString>("registro");
    QTest::newRow("registro aberto") << QStringLiteral("aberto");
    QTest::newRow("registro ausente") << QStringLiteral("ausente");
    QTest::newRow("nenhum registro") << QString();
}

void TstCopiaAoFechar::copiaFeitaOuRelatadaUmaVez()
{
    QFETCH(QString, registro);
    QTemporaryDir dadosUsuario;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dadosUsuario.path()));
    norvel::db::TestDatabase base;
    TdmNorvelCheque dados;
    if (registro == QLatin1String("aberto"))
        dados.DataModuleCreate();
    else if (registro == QLatin1String("ausente"))
        dados.ibBaseDados.databaseName = base.directory() + QStringLiteral("ausente.fdb");
    RecordingPresenter caixas;

    copiaAoFechar(dados);

    const QString copias = dadosUsuario.filePath(QStringLiteral("norvelcheque/copias"));
    const QStringList feitas = QDir(copias).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (registro != QLatin1String("ausente")) {
        QVERIFY2(caixas.boxes.isEmpty(), qPrintable(caixas.lastText()));
        QCOMPARE(feitas, registro.isEmpty() ? QStringList()
                                            : QStringList{QStringLiteral("norvelcheque-%1.fbk")
                                                              .arg(QDate::currentDate().toString(Qt::ISODate))});
        return;
    }
    QCOMPARE(caixas.boxes.size(), 1);
    QCOMPARE(caixas.boxes[0].title, TituloPrograma);
    QCOMPARE(caixas.boxes[0].icon, MessagePresenter::Icon::Warning);
    QVERIFY2(caixas.lastText().startsWith(QStringLiteral("A cópia de segurança de hoje do banco de dados não foi feita: "))
                 && caixas.lastText().contains(dados.ibBaseDados.databaseName),
             qPrintable(caixas.lastText()));
    QCOMPARE(feitas, QStringList());
}

NORVEL_UI_TEST_MAIN(TstCopiaAoFechar)
#include "test_copia_ao_fechar.moc"
