#pragma once

#include "FbClient.h"

#include <QByteArray>
#include <QStringList>
#include <QVariantList>

#include <memory>
#include <vector>

namespace norvel::db {

class Cursor;

// Where one field of a message lives and what it holds, read once per statement.
struct FieldLayout {
    QString name;
    unsigned type;
    unsigned offset;
    unsigned nullOffset;
    unsigned length;
    int scale;
    unsigned charset;
};
using MessageLayout = std::vector<FieldLayout>;

MessageLayout layoutOf(Firebird::IMessageMetadata* meta);
QVariantList decodeMessage(const MessageLayout& layout, const unsigned char* buffer);

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
    MessageLayout outLayout_;
};

// An open cursor; fetchNext() decodes one row into QVariants.
class Cursor {
public:
    Cursor(Firebird::IResultSet* rs, const MessageLayout& layout, unsigned messageLength);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    bool fetchNext(QVariantList& row);
    bool atEnd() const { return eof_; }

private:
    Firebird::IResultSet* rs_;
    const MessageLayout& layout_;
    std::vector<unsigned char> buffer_;
    bool eof_ = false;
};

// Latin-1 bytes of text; throws DbError when a character does not fit, so
// nothing is silently stored as "?".
QByteArray toLatin1Checked(const QString& text);

} // namespace norvel::db
