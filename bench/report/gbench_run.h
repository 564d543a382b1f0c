#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace zelmora::bench {

// Real time of each repetition of each benchmark, in the order of the
// repetition index, from one run of a Google Benchmark program with its
// repetitions interleaved at random (so program and floor share the
// machine's moods). Empty with error set when the run failed.
struct GbenchTimes {
    QHash<QString, QList<double>> byName; // "BM_CreateSixPages" -> real times
    // Every number of every repetition: "BM_X" -> field -> values.
    QHash<QString, QHash<QString, QList<double>>> fields;
    QString error;
};

GbenchTimes runGbench(const QString &program, int repetitions, double minTimeSeconds,
                      const QString &filter, const QStringList &extraEnvironment,
                      const QString &errorLog);

// Ratios a[i] / b[i] of two benchmarks' repetitions.
QList<double> pairRatios(const GbenchTimes &times, const QString &a, const QString &b,
                         QString *error);

// One counter of one benchmark over its repetitions ("ratio" of a benchmark
// that times program and floor alternately).
QList<double> counter(const GbenchTimes &times, const QString &name, const QString &field,
                      QString *error);

} // namespace zelmora::bench
