#include "gbench_run.h"

#include "process_run.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

#include <map>

namespace zelmora::bench {

GbenchTimes runGbench(const QString &program, int repetitions, double minTimeSeconds,
                      const QString &filter, const QStringList &extraEnvironment,
                      const QString &errorLog)
{
    GbenchTimes times;
    QTemporaryFile json;
    if (!json.open()) {
        times.error = QStringLiteral("no temporary file");
        return times;
    }
    const ProcessRun run
        = runProcess(program,
                     {QStringLiteral("--benchmark_repetitions=%1").arg(repetitions),
                      QStringLiteral("--benchmark_enable_random_interleaving=true"),
                      QStringLiteral("--benchmark_min_time=%1").arg(minTimeSeconds),
                      QStringLiteral("--benchmark_filter=") + filter,
                      QStringLiteral("--benchmark_out_format=json"),
                      QStringLiteral("--benchmark_out=") + json.fileName()},
                     extraEnvironment, errorLog, 1800);
    if (!run.ok) {
        times.error = QStringLiteral("%1 failed, see %2").arg(program, errorLog);
        return times;
    }
    const QJsonObject root = QJsonDocument::fromJson(json.readAll()).object();
    std::map<QString, std::map<int, QJsonObject>> ordered;
    for (const QJsonValue &value : root.value(QStringLiteral("benchmarks")).toArray()) {
        const QJsonObject b = value.toObject();
        if (b.value(QStringLiteral("run_type")).toString() != QLatin1String("iteration"))
            continue;
        // "BM_SetPickerOpen/manual_time" and the like: the function's name.
        const QString name = b.value(QStringLiteral("run_name")).toString().section(u'/', 0, 0);
        ordered[name][b.value(QStringLiteral("repetition_index")).toInt()] = b;
    }
    for (const auto &[name, reps] : ordered) {
        for (const auto &[index, b] : reps) {
            times.byName[name].push_back(b.value(QStringLiteral("real_time")).toDouble());
            for (auto it = b.begin(); it != b.end(); ++it) {
                if (it.value().isDouble())
                    times.fields[name][it.key()].push_back(it.value().toDouble());
            }
        }
    }
    if (times.byName.isEmpty())
        times.error = QStringLiteral("no results from %1").arg(program);
    return times;
}

QList<double> pairRatios(const GbenchTimes &times, const QString &a, const QString &b,
                         QString *error)
{
    const QList<double> x = times.byName.value(a);
    const QList<double> y = times.byName.value(b);
    if (!times.error.isEmpty() || x.isEmpty() || x.size() != y.size()) {
        *error = times.error.isEmpty() ? QStringLiteral("missing %1 or %2").arg(a, b) : times.error;
        return {};
    }
    QList<double> ratios;
    for (qsizetype i = 0; i < x.size(); ++i)
        ratios.push_back(y[i] > 0 ? x[i] / y[i] : 0);
    return ratios;
}

} // namespace zelmora::bench

namespace zelmora::bench {

QList<double> counter(const GbenchTimes &times, const QString &name, const QString &field,
                      QString *error)
{
    const QList<double> values = times.fields.value(name).value(field);
    if (!times.error.isEmpty() || values.isEmpty())
        *error = times.error.isEmpty() ? QStringLiteral("missing %1 of %2").arg(field, name)
                                       : times.error;
    return values;
}

} // namespace zelmora::bench
