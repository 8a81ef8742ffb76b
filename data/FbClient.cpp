#include "FbClient.h"

#include "ExecutableDirectory.h"
#include "LocalBase.h"

#include <ibase.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <map>

#include <dirent.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>

namespace norvel::db {

namespace {

Client* clientInstance = nullptr;
bool clientShutDown = false;

void shutdownAtExit() { Client::shutdown(); }

// How long an attachment to a server waits for it to answer before giving
// up (Firebird's default is 180 s): a clerk waits a little, not minutes.
constexpr int ServerConnectTimeout = 15;

// A server gone without a word (cable pulled, switch down, machine frozen)
// sends no reset, and the client library waits on its socket until the
// kernel gives up: some 15 minutes for a request never acknowledged, over two
// hours of keepalive for a reply that never comes. The library has no setting
// for either (it turns SO_KEEPALIVE on with the system's timing), so its
// sockets to a server get their own: a probe after KeepaliveIdle seconds
// without a word from the server, then every KeepaliveInterval, and the
// connection ends once data or a probe has gone DeadServerTimeout seconds
// unacknowledged (TCP_USER_TIMEOUT). A server that answers keeps an idle
// attachment all day and a slow query uncut. The library then reports the
// read or write error of a reset, which connectionLost() knows.
constexpr int DeadServerTimeout = 15;
constexpr int KeepaliveIdle = 10;
constexpr int KeepaliveInterval = 2;

// This process's sockets: descriptor by inode, as descriptors are reused and
// inodes are not.
std::map<ino_t, int> openSockets()
{
    std::map<ino_t, int> sockets;
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return sockets;
    while (const dirent* entry = ::readdir(dir)) {
        const int fd = std::atoi(entry->d_name);
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode))
            sockets.emplace(st.st_ino, fd);
    }
    ::closedir(dir);
    return sockets;
}

// Whether a connection to the server's port opens within the deadline. The
// client library's own connect() waits out the kernel's SYN retries (over two
// minutes) for a server out of reach; isc_dpb_connect_timeout bounds only
// what follows. A refusal is an answer: the library then says it its way.
bool answersWithin(const QString& server, QDeadlineTimer deadline)
{
    const qsizetype slash = server.indexOf(QLatin1Char('/'));
    const QByteArray host = server.left(slash).toLatin1();
    const QByteArray port = slash < 0 ? QByteArrayLiteral("3050") : server.mid(slash + 1).toLatin1();
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    if (::getaddrinfo(host.constData(), port.constData(), &hints, &addresses) != 0)
        return true;
    bool answered = false;
    for (const addrinfo* a = addresses; a && !answered; a = a->ai_next) {
        const int s = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (s < 0)
            continue;
        if (::connect(s, a->ai_addr, a->ai_addrlen) == 0 || errno != EINPROGRESS) {
            answered = true;
        } else {
            pollfd p{s, POLLOUT, 0};
            int ready;
            while ((ready = ::poll(&p, 1, static_cast<int>(deadline.remainingTime()))) < 0 && errno == EINTR) {
            }
            answered = ready > 0;
        }
        ::close(s);
    }
    ::freeaddrinfo(addresses);
    return answered;
}

// The client library does not hand out its socket: those of an attachment
// to a server are the TCP connections that appeared while it was made.
template <typename F>
Firebird::IAttachment* boundingServerSockets(const QString& path, F&& attach)
{
    if (!LocalBase::ehNomeDeServidor(path))
        return attach();
    const QString server = LocalBase::servidorDoNome(path);
    if (!answersWithin(server, QDeadlineTimer(ServerConnectTimeout * 1000)))
        throw DbError(QStringLiteral("o servidor não respondeu em %1 s.").arg(ServerConnectTimeout));
    const std::map<ino_t, int> before = openSockets();
    Firebird::IAttachment* attachment = attach();
    for (const auto& [inode, fd] : openSockets()) {
        int type = 0;
        socklen_t length = sizeof type;
        sockaddr_storage peer {};
        socklen_t peerLength = sizeof peer;
        if (before.count(inode) || ::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) != 0
            || type != SOCK_STREAM || ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0
            || (peer.ss_family != AF_INET && peer.ss_family != AF_INET6))
            continue;
        const int on = 1;
        const unsigned timeout = DeadServerTimeout * 1000;
        ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &KeepaliveIdle, sizeof KeepaliveIdle);
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &KeepaliveInterval, sizeof KeepaliveInterval);
        ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &timeout, sizeof timeout);
    }
    return attachment;
}

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
        Firebird::IAttachment* att = boundingServerSockets(path, [&] {
            return Client::instance().provider()->attachDatabase(st, file.constData(), dpb.xpb->getBufferLength(st),
                                                            dpb.xpb->getBuffer(st));
        });
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
        Firebird::IAttachment* att = boundingServerSockets(path, [&] {
            return Client::instance().provider()->createDatabase(st, file.constData(), dpb.xpb->getBufferLength(st),
                                                            dpb.xpb->getBuffer(st));
        });
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
