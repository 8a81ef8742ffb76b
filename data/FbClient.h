#pragma once

// Thin owners over Firebird's C++ interfaces. Every call goes through call(),
// which turns FbException into DbError; each owner is move-only and releases
// its interface when it dies (a still-active transaction rolls back quietly).

#include "DbError.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>

namespace norvel::db {

// The embedded engine of this process. The first use points FIREBIRD at the
// program's own root (<executable dir>/firebird: firebird.conf with
// Providers = NorvelGuard and ServerMode = SuperClassic) and FIREBIRD_LOCK at
// the lock directory every process of the program shares, before anything
// calls into the client library. shutdown() runs at exit at the latest.
class Client {
public:
    static Client& instance(); // throws DbError when the root is missing
    static void shutdown();
    // False after shutdown(): owners then leave their interfaces alone.
    static bool running();

    Firebird::IMaster* master() const { return master_; }
    Firebird::IProvider* provider() const { return provider_; }
    Firebird::IUtil* util() const { return util_; }

    static QString lockDirectory();

private:
    Client();
    Firebird::IMaster* master_ = nullptr;
    Firebird::IProvider* provider_ = nullptr;
    Firebird::IUtil* util_ = nullptr;
};

// One status object per call, thrown as FbException and translated.
class Status {
public:
    Status();
    ~Status();
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    Firebird::ThrowStatusWrapper* operator&() { return &wrapper_; }

private:
    Firebird::IStatus* status_;
    Firebird::ThrowStatusWrapper wrapper_;
};

DbError toDbError(Firebird::IStatus* status);

template <typename F>
decltype(auto) call(F&& f)
{
    Status status;
    try {
        return f(&status);
    } catch (const Firebird::FbException& e) {
        throw toDbError(e.getStatus());
    }
}

// Releases a reference-counted interface on destruction.
template <typename T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    ~Ref() { if (p_) p_->release(); }
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ref& operator=(Ref&& o) noexcept { std::swap(p_, o.p_); return *this; }
    T* get() const { return p_; }
    T* operator->() const { return p_; }

private:
    T* p_ = nullptr;
};

// Forced writes are a setting of the database file; Keep leaves it alone.
enum class ForcedWrites { Keep, On, Off };

class Attachment {
public:
    // params: "user_name=...", "password=...", "lc_ctype=..."
    static Attachment attach(const QString& path, const QStringList& params, int dialect,
                             ForcedWrites forcedWrites = ForcedWrites::Keep);
    // Made with forced writes off, so that a script of DDL runs quickly.
    static Attachment create(const QString& path, const QStringList& params, int dialect,
                             const QString& defaultCharset, int pageSize);
    ~Attachment();
    Attachment(Attachment&& o) noexcept : att_(std::exchange(o.att_, nullptr)), dialect_(o.dialect_) {}
    Attachment& operator=(Attachment&&) = delete;

    void detach();
    // Deletes the database and ends the attachment.
    void dropDatabase();
    Firebird::IAttachment* get() const { return att_; }
    int dialect() const { return dialect_; }
    // Runs one statement without parameters or result (DDL, scripts).
    void executeImmediate(Firebird::ITransaction* tra, const QByteArray& sql);

private:
    Attachment(Firebird::IAttachment* att, int dialect) : att_(att), dialect_(dialect) {}
    Firebird::IAttachment* att_;
    int dialect_;
};

class Transaction {
public:
    // Read committed, record versions, wait on locks, read-write.
    static Transaction start(Attachment& attachment);
    ~Transaction();
    Transaction(Transaction&& o) noexcept : tra_(std::exchange(o.tra_, nullptr)) {}
    Transaction& operator=(Transaction&&) = delete;

    void commit();
    void commitRetaining();
    void rollbackRetaining();
    Firebird::ITransaction* get() const { return tra_; }

private:
    explicit Transaction(Firebird::ITransaction* tra) : tra_(tra) {}
    Firebird::ITransaction* tra_;
};

} // namespace norvel::db
