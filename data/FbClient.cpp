#include "FbClient.h"

#include "ExecutableDirectory.h"
#include "LocalBase.h"

#include <ibase.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace norvel::db {

namespace {

Client* clientInstance = nullptr;
bool clientShutDown = false;

void shutdownAtExit() { Client::shutdown(); }

// How long an attachment to a server waits for it to answer before giving
// up (Firebird's default is 180 s): a clerk waits a little, not minutes.
constexpr int ServerConnectTimeout = 15;

// Connection parameters of the form name=value, as the data module holds
// them, and the one provider the name goes to.
void addConnectionParams(Firebird::IXpbBuilder* dpb, Firebird::ThrowStatusWrapper* st, const QString& path,
                         const QStringList& params, int dialect)
{
    for (const QString& param : params) {
        const qsizetype eq = param.indexOf(QLatin1Char('='));
        const QString name = param.left(eq).trimmed().toLower();
        const QByteArray value = param.mid(eq + 1).toLatin1();
        if (name == QLatin1String("user_name"))
            dpb->insertString(st, isc_dpb_user_name, value.constData());
        else if (name == QLatin1String("password"))
            dpb->insertString(st, isc_dpb_password, value.constData());
        else if (name == QLatin1String("lc_ctype"))
            dpb->insertString(st, isc_dpb_lc_ctype, value.constData());
        else
            throw DbError(QStringLiteral("Parâmetro de conexão desconhecido: %1").arg(param));
    }
    dpb->insertInt(st, isc_dpb_sql_dialect, dialect);
    // A server name goes to the client's network provider only; a file to
    // the guard only, never falling back to a server when the embedded open
    // fails.
    if (LocalBase::ehNomeDeServidor(path)) {
        dpb->insertString(st, isc_dpb_config, "Providers = Remote");
        dpb->insertInt(st, isc_dpb_connect_timeout, ServerConnectTimeout);
    } else {
        dpb->insertString(st, isc_dpb_config, "Providers = NorvelGuard");
    }
}

// The errors after which the attachment is gone for good: the network or
// the server failed, or the database or the attachment was shut down.
bool connectionLost(const ISC_STATUS* errors)
{
    static constexpr ISC_STATUS lost[] = {isc_network_error, isc_net_read_err,   isc_net_write_err,
                                          isc_lost_db_connection, isc_conn_lost, isc_net_server_shutdown,
                                          isc_shutdown,      isc_att_shutdown,   isc_bad_db_handle};
    for (const ISC_STATUS* e = errors; *e != isc_arg_end;) {
        const ISC_STATUS kind = *e++;
        const ISC_STATUS value = *e++;
        if (kind == isc_arg_gds && std::find(std::begin(lost), std::end(lost), value) != std::end(lost))
            return true;
        if (kind == isc_arg_cstring)
            ++e; // a length and a pointer
    }
    return false;
}

} // namespace

Client::Client()
{
    const QString root = executableDirectory() + QStringLiteral("firebird");
    if (!QFileInfo::exists(root + QStringLiteral("/firebird.conf")))
        throw DbError(QStringLiteral("Configuração do Firebird não encontrada em %1").arg(root));
    ::setenv("FIREBIRD", root.toLocal8Bit().constData(), 1);
    // The guard of the root makes the directory when it is missing.
    ::setenv("FIREBIRD_LOCK", lockDirectory().toLocal8Bit().constData(), 1);

    master_ = Firebird::fb_get_master_interface();
    provider_ = master_->getDispatcher();
    util_ = master_->getUtilInterface();
    std::atexit(shutdownAtExit);
}

Client& Client::instance()
{
    if (clientShutDown)
        throw DbError(QStringLiteral("O acesso ao banco de dados já foi encerrado."));
    if (!clientInstance)
        clientInstance = new Client();
    return *clientInstance;
}

void Client::shutdown()
{
    if (!clientInstance || clientShutDown)
        return;
    {
        Status status;
        try {
            clientInstance->provider_->shutdown(&status, 0, fb_shutrsn_app_stopped);
        } catch (const Firebird::FbException&) {
            // Nothing sensible is left to do at exit.
        }
    }
    clientShutDown = true;
    clientInstance->provider_->release();
    delete clientInstance;
    clientInstance = nullptr;
}

bool Client::running()
{
    return !clientShutDown;
}

QString Client::lockDirectory()
{
    return QStringLiteral(NORVEL_FIREBIRD_LOCK);
}

Status::Status()
    : status_(Client::instance().master()->getStatus()), wrapper_(status_)
{
}

Status::~Status()
{
    status_->dispose();
}

DbError toDbError(Firebird::IStatus* status)
{
    const ISC_STATUS* errors = status->getErrors();
    char text[2048] = {};
    Client::instance().util()->formatStatus(text, sizeof text - 1, status);
    char state[6] = {};
    fb_sqlstate(state, errors);
    return DbError(QString::fromLatin1(text).trimmed(), static_cast<int>(isc_sqlcode(errors)),
                   QString::fromLatin1(state, 5), connectionLost(errors));
}

namespace {

// Disposes an XPB builder on every path.
struct XpbGuard {
    Firebird::IXpbBuilder* xpb;
    ~XpbGuard() { xpb->dispose(); }
};

Firebird::IXpbBuilder* newDpb(Firebird::ThrowStatusWrapper* st)
{
    return Client::instance().util()->getXpbBuilder(st, Firebird::IXpbBuilder::DPB, nullptr, 0);
}

} // namespace

Attachment Attachment::attach(const QString& path, const QStringList& params, int dialect,
                              ForcedWrites forcedWrites)
{
    return call([&](Firebird::ThrowStatusWrapper* st) {
        XpbGuard dpb{newDpb(st)};
        addConnectionParams(dpb.xpb, st, path, params, dialect);
        if (forcedWrites != ForcedWrites::Keep)
            dpb.xpb->insertInt(st, isc_dpb_force_write, forcedWrites == ForcedWrites::On ? 1 : 0);
        const QByteArray file = QFile::encodeName(path);
        Firebird::IAttachment* att = Client::instance().provider()->attachDatabase(
            st, file.constData(), dpb.xpb->getBufferLength(st), dpb.xpb->getBuffer(st));
        return Attachment(att, dialect);
    });
}

Attachment Attachment::create(const QString& path, const QStringList& params, int dialect,
                              const QString& defaultCharset, int pageSize)
{
    return call([&](Firebird::ThrowStatusWrapper* st) {
        XpbGuard dpb{newDpb(st)};
        addConnectionParams(dpb.xpb, st, path, params, dialect);
        dpb.xpb->insertString(st, isc_dpb_set_db_charset, defaultCharset.toLatin1().constData());
        dpb.xpb->insertInt(st, isc_dpb_page_size, pageSize);
        dpb.xpb->insertInt(st, isc_dpb_force_write, 0);
        const QByteArray file = QFile::encodeName(path);
        Firebird::IAttachment* att = Client::instance().provider()->createDatabase(
            st, file.constData(), dpb.xpb->getBufferLength(st), dpb.xpb->getBuffer(st));
        return Attachment(att, dialect);
    });
}

Attachment::~Attachment()
{
    if (!att_ || !Client::running())
        return;
    Status status;
    try {
        att_->detach(&status);
        att_ = nullptr;
    } catch (const Firebird::FbException&) {
        att_->release();
    }
}

void Attachment::detach()
{
    call([&](Firebird::ThrowStatusWrapper* st) { att_->detach(st); });
    att_ = nullptr;
}

void Attachment::dropDatabase()
{
    call([&](Firebird::ThrowStatusWrapper* st) { att_->dropDatabase(st); });
    att_ = nullptr;
}

void Attachment::executeImmediate(Firebird::ITransaction* tra, const QByteArray& sql)
{
    call([&](Firebird::ThrowStatusWrapper* st) {
        att_->execute(st, tra, static_cast<unsigned>(sql.size()), sql.constData(),
                      static_cast<unsigned>(dialect_), nullptr, nullptr, nullptr, nullptr);
    });
}

Transaction Transaction::start(Attachment& attachment)
{
    static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                                        isc_tpb_rec_version, isc_tpb_wait};
    return call([&](Firebird::ThrowStatusWrapper* st) {
        return Transaction(attachment.get()->startTransaction(st, sizeof tpb, tpb));
    });
}

Transaction::~Transaction()
{
    if (!tra_ || !Client::running())
        return;
    Status status;
    try {
        tra_->rollback(&status);
        tra_ = nullptr;
    } catch (const Firebird::FbException&) {
        tra_->release();
    }
}

void Transaction::commit()
{
    call([&](Firebird::ThrowStatusWrapper* st) { tra_->commit(st); });
    tra_ = nullptr;
}

void Transaction::commitRetaining()
{
    call([&](Firebird::ThrowStatusWrapper* st) { tra_->commitRetaining(st); });
}

void Transaction::rollbackRetaining()
{
    call([&](Firebird::ThrowStatusWrapper* st) { tra_->rollbackRetaining(st); });
}

} // namespace norvel::db
