#pragma once

#include "FbClient.h"

#include <QByteArray>
#include <QStringList>
#include <QVariantList>

#include <memory>
#include <vector>

namespace norvel::db {

class Cursor;

// A prepared statement with its input and output metadata. Inputs are given as
// QVariants by position; the input message is built from their types, so the
// database converts them into its parameter types (and rejects text too long
// for its column with its own truncation error).
class Statement {
public:
    Statement(Attachment& attachment, Transaction& transaction, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    unsigned inputCount() const;
    // Result field names (aliases) in order, repeated names kept as they are.
    QStringList outputNames() const;

    // Runs a statement without a cursor; returns its single output row (or
    // nothing when it has no outputs).
    QVariantList execute(Transaction& transaction, const QVariantList& inputs);
    std::unique_ptr<Cursor> openCursor(Transaction& transaction, const QVariantList& inputs);

private:
    struct Input;
    Input buildInput(const QVariantList& inputs) const;

    Firebird::IStatement* stmt_ = nullptr;
    Ref<Firebird::IMessageMetadata> inMeta_;
    Ref<Firebird::IMessageMetadata> outMeta_;
};

// An open cursor; fetchNext() decodes one row into QVariants.
class Cursor {
public:
    Cursor(Firebird::IResultSet* rs, Firebird::IMessageMetadata* meta);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    bool fetchNext(QVariantList& row);
    bool atEnd() const { return eof_; }

private:
    Firebird::IResultSet* rs_;
    Firebird::IMessageMetadata* meta_;
    std::vector<unsigned char> buffer_;
    bool eof_ = false;
};

// Decodes one message of meta in buffer.
QVariantList decodeMessage(Firebird::IMessageMetadata* meta, const unsigned char* buffer);

// Latin-1 bytes of text; throws DbError when a character does not fit, so
// nothing is silently stored as "?".
QByteArray toLatin1Checked(const QString& text);

} // namespace norvel::db
