#include "NorvelApplication.h"

#include "MessagePresenter.h"
#include "TituloPrograma.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>

#include <exception>

NorvelApplication::NorvelApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(TituloPrograma);
    setWindowIcon(QIcon(QStringLiteral(":/icones/chequeavulso.svg")));
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    QLocale::setDefault(brasil);
    if (traducaoQt_.load(brasil, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&traducaoQt_);
}

bool NorvelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &erro) {
        relataErro(QString::fromUtf8(erro.what()));
    }
    return false;
}

void NorvelApplication::relataErro(const QString &mensagem)
{
    QString texto = mensagem.trimmed();
    if (!texto.endsWith(QLatin1Char('.')))
        texto += QLatin1Char('.');
    messages().show(applicationName(), texto, MessagePresenter::Icon::Error);
}

bool converteInteiro(const QString &texto, int &valor)
{
    bool ok = false;
    valor = texto.toInt(&ok);
    if (!ok)
        NorvelApplication::relataErro(QStringLiteral("'%1' is not a valid integer value").arg(texto));
    return ok;
}
