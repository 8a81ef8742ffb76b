#include "FbStatement.h"

#include <ibase.h>

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>
#include <cstring>

namespace norvel::db {

namespace {

constexpr unsigned CharsetIso8859_1 = 21;
constexpr unsigned CharsetOctets = 1;

// The longest text a parameter carries: the largest VARCHAR. A message holds
// a text's length in 16 bits, so a longer one would arrive cut.
constexpr qsizetype MaxTextBytes = 32765;

// The engine's own refusal of a text longer than its parameter, with the
// parameter's length in bytes (characters, in the database's ISO8859_1).
DbError textTooLong(unsigned expected, qsizetype actual)
{
    const ISC_STATUS vector[] = {isc_arg_gds,    isc_dsql_error,        isc_arg_gds,    isc_sqlerr,
                                 isc_arg_number, -303,                  isc_arg_gds,    isc_arith_except,
                                 isc_arg_gds,    isc_string_truncation, isc_arg_gds,    isc_trunc_limits,
                                 isc_arg_number, ISC_STATUS(expected),  isc_arg_number, ISC_STATUS(actual),
                                 isc_arg_end};
    Firebird::IStatus* status = Client::instance().master()->getStatus();
    status->setErrors(vector);
    DbError error = toDbError(status);
    status->dispose();
    return error;
}

bool isNull(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

template <typename T>
void put(unsigned char* buffer, unsigned offset, T value)
{
    std::memcpy(buffer + offset, &value, sizeof value);
}

template <typename T>
T get(const unsigned char* buffer, unsigned offset)
{
    T value;
    std::memcpy(&value, buffer + offset, sizeof value);
    return value;
}

QVariant scaled(qint64 raw, int scale)
{
    if (scale == 0)
        return raw;
    return static_cast<double>(raw) * std::pow(10.0, scale);
}

} // namespace

QByteArray toLatin1Checked(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c > 0xFF)
            throw DbError(QStringLiteral("O texto \"%1\" contém o caractere \"%2\", que o banco de dados "
                                         "não pode guardar. Nada foi gravado.")
                              .arg(text, text.at(i)));
        bytes[i] = static_cast<char>(c);
    }
    return bytes;
}

struct Statement::Input {
    Ref<Firebird::IMessageMetadata> meta;
    std::vector<unsigned char> buffer;
};

Statement::Statement(Attachment& attachment, Transaction& transaction, const QString& sql)
{
    const QByteArray text = toLatin1Checked(sql);
    call([&](Firebird::ThrowStatusWrapper* st) {
        stmt_ = attachment.get()->prepare(st, transaction.get(), static_cast<unsigned>(text.size()),
                                          text.constData(), static_cast<unsigned>(attachment.dialect()),
                                          Firebird::IStatement::PREPARE_PREFETCH_METADATA);
        inMeta_ = Ref(stmt_->getInputMetadata(st));
        outMeta_ = Ref(stmt_->getOutputMetadata(st));
    });
    outLayout_ = layoutOf(outMeta_.get());
}

Statement::~Statement()
{
    if (!stmt_ || !Client::running())
        return;
    Status status;
    try {
        stmt_->free(&status);
    } catch (const Firebird::FbException&) {
        stmt_->release();
    }
}

unsigned Statement::inputCount() const
{
    return call([&](Firebird::ThrowStatusWrapper* st) { return inMeta_->getCount(st); });
}

QStringList Statement::outputNames() const
{
    QStringList names;
    for (const FieldLayout& f : outLayout_)
        names << f.name;
    return names;
}

Statement::Input Statement::buildInput(const QVariantList& inputs) const
{
    return call([&](Firebird::ThrowStatusWrapper* st) {
        const unsigned n = inMeta_->getCount(st);
        if (static_cast<unsigned>(inputs.size()) != n)
            throw DbError(QStringLiteral("A instrução espera %1 parâmetros, recebeu %2.").arg(n).arg(inputs.size()));

        // Texts first, so a character Latin-1 cannot hold stops the call here.
        std::vector<QByteArray> texts(n);
        Ref<Firebird::IMetadataBuilder> builder(inMeta_->getBuilder(st));
        for (unsigned i = 0; i < n; ++i) {
            const QVariant& v = inputs[static_cast<qsizetype>(i)];
            if (isNull(v))
                continue;
            switch (v.typeId()) {
            case QMetaType::QDate:
            case QMetaType::QDateTime:
                builder->setType(st, i, SQL_TYPE_DATE);
                builder->setLength(st, i, sizeof(ISC_DATE));
                break;
            case QMetaType::Bool:
                builder->setType(st, i, SQL_SHORT);
                builder->setLength(st, i, sizeof(ISC_SHORT));
                builder->setScale(st, i, 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::Long:
                builder->setType(st, i, SQL_INT64);
                builder->setLength(st, i, sizeof(ISC_INT64));
                builder->setScale(st, i, 0);
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                builder->setType(st, i, SQL_DOUBLE);
                builder->setLength(st, i, sizeof(double));
                builder->setScale(st, i, 0);
                break;
            default:
                texts[i] = toLatin1Checked(v.toString());
                if (texts[i].size() > MaxTextBytes) {
                    const unsigned type = inMeta_->getType(st, i);
                    throw textTooLong(type == SQL_VARYING || type == SQL_TEXT ? inMeta_->getLength(st, i)
                                                                              : unsigned(MaxTextBytes),
                                      texts[i].size());
                }
                builder->setType(st, i, SQL_VARYING);
                builder->setCharSet(st, i, CharsetIso8859_1);
                builder->setLength(st, i, static_cast<unsigned>(std::max<qsizetype>(texts[i].size(), 1)));
                break;
            }
        }

        Input in;
        in.meta = Ref(builder->getMetadata(st));
        in.buffer.assign(in.meta->getMessageLength(st), 0);
        unsigned char* buf = in.buffer.data();
        Firebird::IUtil* util = Client::instance().util();
        for (unsigned i = 0; i < n; ++i) {
            const QVariant& v = inputs[static_cast<qsizetype>(i)];
            const unsigned off = in.meta->getOffset(st, i);
            const unsigned nullOff = in.meta->getNullOffset(st, i);
            if (isNull(v)) {
                put<short>(buf, nullOff, -1);
                continue;
            }
            put<short>(buf, nullOff, 0);
            switch (in.meta->getType(st, i)) {
            case SQL_TYPE_DATE: {
                const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
                put<ISC_DATE>(buf, off, util->encodeDate(static_cast<unsigned>(d.year()),
                                                         static_cast<unsigned>(d.month()),
                                                         static_cast<unsigned>(d.day())));
                break;
            }
            case SQL_SHORT:
                put<ISC_SHORT>(buf, off, v.toBool() ? -1 : 0);
                break;
            case SQL_INT64:
                put<ISC_INT64>(buf, off, v.toLongLong());
                break;
            case SQL_DOUBLE:
                put<double>(buf, off, v.toDouble());
                break;
            default: {
                const QByteArray& t = texts[i];
                put<ISC_USHORT>(buf, off, static_cast<ISC_USHORT>(t.size()));
                std::memcpy(buf + off + sizeof(ISC_USHORT), t.constData(), static_cast<size_t>(t.size()));
                break;
            }
            }
        }
        return in;
    });
}

QVariantList Statement::execute(Transaction& transaction, const QVariantList& inputs)
{
    Input in = buildInput(inputs);
    return call([&](Firebird::ThrowStatusWrapper* st) {
        std::vector<unsigned char> out(outMeta_->getMessageLength(st), 0);
        stmt_->execute(st, transaction.get(), in.meta.get(), in.buffer.data(), outMeta_.get(), out.data());
        return decodeMessage(outLayout_, out.data());
    });
}

std::unique_ptr<Cursor> Statement::openCursor(Transaction& transaction, const QVariantList& inputs)
{
    Input in = buildInput(inputs);
    return call([&](Firebird::ThrowStatusWrapper* st) {
        Firebird::IResultSet* rs =
            stmt_->openCursor(st, transaction.get(), in.meta.get(), in.buffer.data(), outMeta_.get(), 0);
        return std::make_unique<Cursor>(rs, outLayout_, outMeta_->getMessageLength(st));
    });
}

Cursor::Cursor(Firebird::IResultSet* rs, const MessageLayout& layout, unsigned messageLength)
    : rs_(rs), layout_(layout), buffer_(messageLength, 0)
{
}

Cursor::~Cursor()
{
    if (!Client::running())
        return;
    Status status;
    try {
        rs_->close(&status);
    } catch (const Firebird::FbException&) {
        rs_->release();
    }
}

bool Cursor::fetchNext(QVariantList& row)
{
    if (eof_)
        return false;
    const int result = call([&](Firebird::ThrowStatusWrapper* st) { return rs_->fetchNext(st, buffer_.data()); });
    if (result != Firebird::IStatus::RESULT_OK) {
        eof_ = true;
        return false;
    }
    row = decodeMessage(layout_, buffer_.data());
    return true;
}

MessageLayout layoutOf(Firebird::IMessageMetadata* meta)
{
    return call([&](Firebird::ThrowStatusWrapper* st) {
        MessageLayout layout;
        const unsigned n = meta->getCount(st);
        for (unsigned i = 0; i < n; ++i)
            layout.push_back({QString::fromLatin1(meta->getAlias(st, i)), meta->getType(st, i), meta->getOffset(st, i),
                              meta->getNullOffset(st, i), meta->getLength(st, i), meta->getScale(st, i),
                              meta->getCharSet(st, i)});
        return layout;
    });
}

QVariantList decodeMessage(const MessageLayout& layout, const unsigned char* buf)
{
    Firebird::IUtil* util = Client::instance().util();
    QVariantList row;
    row.reserve(static_cast<qsizetype>(layout.size()));
    for (const FieldLayout& f : layout) {
        if (get<short>(buf, f.nullOffset)) {
            row << QVariant();
            continue;
        }
        const unsigned off = f.offset;
        switch (f.type) {
        case SQL_TEXT: {
            qsizetype len = f.length;
            // Fixed-length text: the trailing blanks are padding.
            if (f.charset != CharsetOctets)
                while (len > 0 && buf[off + len - 1] == ' ')
                    --len;
            row << QString::fromLatin1(reinterpret_cast<const char*>(buf + off), len);
            break;
        }
        case SQL_VARYING: {
            const auto len = get<ISC_USHORT>(buf, off);
            row << QString::fromLatin1(reinterpret_cast<const char*>(buf + off + sizeof(ISC_USHORT)), len);
            break;
        }
        case SQL_SHORT:
            row << (f.scale ? scaled(get<ISC_SHORT>(buf, off), f.scale) : QVariant(int(get<ISC_SHORT>(buf, off))));
            break;
        case SQL_LONG:
            row << (f.scale ? scaled(get<ISC_LONG>(buf, off), f.scale) : QVariant(int(get<ISC_LONG>(buf, off))));
            break;
        case SQL_INT64:
            row << scaled(get<ISC_INT64>(buf, off), f.scale);
            break;
        case SQL_FLOAT:
            row << double(get<float>(buf, off));
            break;
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            row << get<double>(buf, off);
            break;
        case SQL_BOOLEAN:
            row << bool(get<unsigned char>(buf, off));
            break;
        case SQL_TYPE_DATE: {
            unsigned y, m, d;
            util->decodeDate(get<ISC_DATE>(buf, off), &y, &m, &d);
            row << QDate(int(y), int(m), int(d));
            break;
        }
        case SQL_TYPE_TIME: {
            unsigned h, mi, s, fr;
            util->decodeTime(get<ISC_TIME>(buf, off), &h, &mi, &s, &fr);
            row << QTime(int(h), int(mi), int(s), int(fr / 10));
            break;
        }
        case SQL_TIMESTAMP: {
            const auto stamp = get<ISC_TIMESTAMP>(buf, off);
            unsigned y, m, d, h, mi, s, fr;
            util->decodeDate(stamp.timestamp_date, &y, &m, &d);
            util->decodeTime(stamp.timestamp_time, &h, &mi, &s, &fr);
            row << QDateTime(QDate(int(y), int(m), int(d)), QTime(int(h), int(mi), int(s), int(fr / 10)));
            break;
        }
        default:
            throw DbError(QStringLiteral("Tipo de campo não suportado: %1").arg(f.name));
        }
    }
    return row;
}

} // namespace norvel::db
