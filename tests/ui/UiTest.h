#pragma once

// Shared by the window tests: a main() that runs the test object under the
// program's own application object (Portuguese texts, the general error
// report), and the check that a test left no window behind.

#include "NorvelApplication.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QStringList>
#include <QTest>
#include <QWidget>

// Runs what closing a window leaves queued: the frame's own close and the
// deferred deletions.
inline void processaPendentes()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Class names and titles of the top-level windows still alive.
inline QStringList janelasAbertas()
{
    processaPendentes();
    QStringList nomes;
    for (QWidget *janela : QApplication::topLevelWidgets())
        nomes.append(QStringLiteral("%1 \"%2\"").arg(QLatin1String(janela->metaObject()->className()),
                                                     janela->windowTitle()));
    return nomes;
}

// Captions of the window's labels that do not fit their label, shown or not
// yet shown ("name \"text\": needed of width").
inline QStringList rotulosCortados(const QWidget &janela)
{
    QStringList cortados;
    for (const QLabel *rotulo : janela.findChildren<QLabel *>()) {
        if (rotulo->text().isEmpty() || rotulo->wordWrap() || !rotulo->pixmap().isNull())
            continue;
        if (rotulo->minimumSizeHint().width() > rotulo->width())
            cortados.append(QStringLiteral("%1 \"%2\": %3 of %4")
                                .arg(rotulo->objectName(), rotulo->text())
                                .arg(rotulo->minimumSizeHint().width())
                                .arg(rotulo->width()));
    }
    return cortados;
}

#define VERIFICA_ROTULOS_INTEIROS(janela) \
    QVERIFY2(rotulosCortados(janela).isEmpty(), qPrintable(rotulosCortados(janela).join(", ")))

#define VERIFICA_SEM_JANELAS() QVERIFY2(janelasAbertas().isEmpty(), qPrintable(janelasAbertas().join(", ")))

#define NORVEL_UI_TEST_MAIN(Teste)                   \
    int main(int argc, char *argv[])                 \
    {                                                \
        NorvelApplication aplicacao(argc, argv);     \
        Teste teste;                                 \
        QTEST_SET_MAIN_SOURCE_PATH                   \
        return QTest::qExec(&teste, argc, argv);     \
    }
