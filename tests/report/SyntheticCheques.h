#pragma once

#include "ReportDataSet.h"

#include <QDate>
#include <QString>
#include <QStringList>

// Cheques made up from their row number, with the fields of the single-cheque
// queries, handed out 1000 rows at a time as the data module's lists do.
// Row AccentRow carries a payee and names with accents; every seventh cheque
// is cancelled and every third not printed (its print date the zero date).
class SyntheticCheques final : public norvel::report::DataSet {
public:
    static constexpr int Chunk = 1000;
    static constexpr int AccentRow = 4321;
    static inline const QString AccentPayee = QStringLiteral("Ação Construções São Paulo Ltda");

    explicit SyntheticCheques(int rows) : total_(rows), fetched_(std::min(rows, Chunk)) {}

    int rowCount() const override { return fetched_; }
    bool canFetchMore() const override { return fetched_ < total_; }
    void fetchMore() override { fetched_ = std::min(total_, fetched_ + Chunk); }
    bool hasField(const QString &field) const override { return fields().contains(field); }

    QVariant value(int row, const QString &field) const override
    {
        if (field == QLatin1String("STATUS1"))
            return row % 7 == 3 ? QStringLiteral("Cancelado") : QStringLiteral("Válido");
        if (field == QLatin1String("DATAEMISSAO"))
            return QDate(2024, 1, 1).addDays(row / 300);
        if (field == QLatin1String("DATAIMPRESSAO"))
            return row % 3 == 0 ? QDate(1899, 12, 30) : QDate(2024, 1, 2).addDays(row / 300);
        if (field == QLatin1String("NUMBANCO"))
            return QStringLiteral("%1").arg(row % 5 + 1, 3, 10, QLatin1Char('0'));
        if (field == QLatin1String("NOMEBANCO"))
            return row == AccentRow ? QStringLiteral("Banco Itaú Unibanco") : QStringLiteral("Banco %1").arg(row % 5 + 1);
        if (field == QLatin1String("NUMCHEQUE"))
            return QString::number(100000 + row);
        if (field == QLatin1String("FAVORECIDO"))
            return row == AccentRow ? AccentPayee : QStringLiteral("Favorecido %1").arg(row, 6, 10, QLatin1Char('0'));
        if (field == QLatin1String("VALOR"))
            return centavosText(centavos(row));
        if (field == QLatin1String("NOMECENTROCUSTO"))
            return row == AccentRow ? QStringLiteral("Administração") : QStringLiteral("Centro %1").arg(row % 4);
        if (field == QLatin1String("NOMECOMPENSACAO"))
            return row % 2 ? QStringLiteral("Compensação") : QVariant();
        if (field == QLatin1String("IDCHEQUE"))
            return row + 1;
        return {};
    }

    static QStringList fields()
    {
        return {QStringLiteral("IDCHEQUE"),      QStringLiteral("STATUS1"),         QStringLiteral("DATAEMISSAO"),
                QStringLiteral("DATAIMPRESSAO"), QStringLiteral("NUMBANCO"),        QStringLiteral("NOMEBANCO"),
                QStringLiteral("NUMCHEQUE"),     QStringLiteral("FAVORECIDO"),      QStringLiteral("VALOR"),
                QStringLiteral("NOMECENTROCUSTO"), QStringLiteral("NOMECOMPENSACAO")};
    }

    // Amounts from 0,01 to 99999,99, spread so that sums carry across digits.
    static qint64 centavos(int row) { return (qint64(row) * 7919 + 1) % 10000000; }
    static QString centavosText(qint64 c)
    {
        return QStringLiteral("%1,%2").arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0'));
    }
    // The expected total, computed without the money type.
    static QString totalText(int rows)
    {
        qint64 sum = 0;
        for (int r = 0; r < rows; ++r)
            sum += centavos(r);
        return centavosText(sum);
    }

private:
    int total_;
    int fetched_;
};
