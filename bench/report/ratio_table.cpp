#include "ratio_table.h"

#include <algorithm>

namespace zelmora::bench {

double Row::median() const
{
    return median(samples);
}

double Row::median(QList<double> values)
{
    QList<double> &sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const qsizetype n = sorted.size();
    if (n == 0)
        return 0;
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

QString formatRow(const Row &row, int nameWidth)
{
    const QString name = row.what.leftJustified(nameWidth);
    auto figure = [&](double v) {
        return row.difference ? QStringLiteral("%1%2 MiB")
                                    .arg(v >= 0 ? QStringLiteral("+") : QString())
                                    .arg(v, 0, 'f', 1)
                              : QStringLiteral("%1x").arg(v, 0, 'f', 2);
    };
    const QString target = row.difference ? QStringLiteral("%1 MiB").arg(row.target, 0, 'g', 3)
                                          : QStringLiteral("%1x").arg(row.target, 0, 'g', 3);
    if (!row.measured())
        return QStringLiteral("%1  not measured: %2").arg(name, row.error);
    const auto [lo, hi] = std::minmax_element(row.samples.begin(), row.samples.end());
    const QString detail = row.detail.isEmpty()
        ? QString()
        : QStringLiteral("\n%1  %2").arg(QString(nameWidth, u' '), row.detail);
    if (row.reference)
        return QStringLiteral("%1  %2 (min %3, max %4, n=%5)  reference, no target%6")
            .arg(name, figure(row.median()).rightJustified(10), figure(*lo), figure(*hi))
            .arg(row.samples.size())
            .arg(detail);
    return QStringLiteral("%1  %2 (min %3, max %4, n=%5)  target <= %6  %7%8")
        .arg(name, figure(row.median()).rightJustified(10), figure(*lo), figure(*hi))
        .arg(row.samples.size())
        .arg(target, row.met() ? QStringLiteral("OK") : QStringLiteral("MISSED"), detail);
}

} // namespace zelmora::bench
