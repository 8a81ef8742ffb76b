// Where the program finds its register: installed (the packaged empty register
// beside it) in the user's data folder, made there on the first start; in a
// build folder the base.fdb beside it. The data probe stands for the program,
// in a program folder of its own.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

class PastaDadosTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pasta_.isValid());
        const QDir bin(QStringLiteral(BIN));
        const QDir programa(programa_());
        ASSERT_TRUE(programa.mkpath(QStringLiteral("firebird/intl")));
        for (const char* arquivo : {"data_probe", "liblumora.so", "firebird/firebird.conf", "firebird/plugins.conf",
                                    "firebird/libnorvel_guarda.so", "firebird/intl/libfbintl.so"})
            ASSERT_TRUE(QFile::copy(bin.filePath(QLatin1String(arquivo)), programa.filePath(QLatin1String(arquivo))))
                << arquivo;
        ASSERT_TRUE(QFile::copy(QStringLiteral(BASE_VAZIA), programa.filePath(QStringLiteral("base-vazia.fdb"))));
    }

    QString programa_() const { return pasta_.filePath(QStringLiteral("programa")); }
    QString dados() const { return pasta_.filePath(QStringLiteral("dados")); }

    // The probe started with the given $XDG_DATA_HOME: its exit code, and the
    // register it opened (or its error).
    std::pair<int, QString> onde(const QString& xdgDataHome)
    {
        QProcess probe;
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("XDG_DATA_HOME"), xdgDataHome);
        ambiente.insert(QStringLiteral("XDG_CONFIG_HOME"), pasta_.filePath(QStringLiteral("config")));
        probe.setProcessEnvironment(ambiente);
        probe.start(QDir(programa_()).filePath(QStringLiteral("data_probe")), {QStringLiteral("where")});
        EXPECT_TRUE(probe.waitForFinished(60000));
        const QString saida = QString::fromUtf8(probe.readAllStandardOutput() + probe.readAllStandardError());
        return {probe.exitCode(), saida.section(QLatin1Char('\n'), 0, 0)};
    }

    static ino_t inode(const QString& arquivo)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(arquivo).constData(), &st) == 0 ? st.st_ino : 0;
    }

    QTemporaryDir pasta_;
};

TEST_F(PastaDadosTest, ProgramaInstaladoCriaBaseNaPastaDoUsuarioUmaVez)
{
    const QString base = dados() + QStringLiteral("/norvelcheque/base.fdb");
    auto [codigo, aberta] = onde(dados());
    ASSERT_EQ(codigo, 0) << aberta.toStdString();
    EXPECT_EQ(aberta, base);
    const ino_t primeira = inode(base);
    ASSERT_NE(primeira, 0u);
    EXPECT_TRUE(QDir(dados() + QStringLiteral("/norvelcheque")).entryList(QDir::Files | QDir::Hidden)
                    == QStringList{QStringLiteral("base.fdb")})
        << "no temporary copy is left beside the register";

    // The next start opens the same file, never a fresh copy over it.
    std::tie(codigo, aberta) = onde(dados());
    EXPECT_EQ(codigo, 0) << aberta.toStdString();
    EXPECT_EQ(aberta, base);
    EXPECT_EQ(inode(base), primeira);
}

TEST_F(PastaDadosTest, BaseAoLadoDoProgramaValeComoNaPastaDeCompilacao)
{
    const QString beside = QDir(programa_()).filePath(QStringLiteral("base.fdb"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(BASE_VAZIA), beside));
    const auto [codigo, aberta] = onde(dados());
    EXPECT_EQ(codigo, 0) << aberta.toStdString();
    EXPECT_EQ(aberta, beside);
    EXPECT_FALSE(QFileInfo::exists(dados()));
}

TEST_F(PastaDadosTest, PastaDoUsuarioImpossivelDizPorQue)
{
    // A data folder below a plain file cannot be made, not even by root.
    QFile arquivo(pasta_.filePath(QStringLiteral("arquivo")));
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.close();
    const auto [codigo, erro] = onde(arquivo.fileName());
    EXPECT_EQ(codigo, 1);
    EXPECT_TRUE(erro.startsWith(QStringLiteral("Não foi possível criar o banco de dados ") + arquivo.fileName() +
                                QStringLiteral("/norvelcheque/base.fdb: a pasta ")))
        << erro.toStdString();
}

} // namespace
