// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for start-up and memory: a Qt Widgets program that shows one empty window and
// quits. It links Qt Widgets only, so its process start-up and peak memory are what any
// Qt Widgets program pays.
//
//   psograf_bench_floor <spawn time, ns on the monotonic clock> <width> <height>
//
// Prints "main_ns=<spawn to main> qapp_ns=<QApplication constructed> shown_ns=<spawn to
// window painted> hwm_kib=<peak resident size>".
#include "bench/shown.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    const qint64 mainNs = bench::nowNs();
    QApplication app(argc, argv);
    const qint64 appNs = bench::nowNs();
    const QStringList args = app.arguments();
    const qint64 spawned = args.value(1).toLongLong();
    QWidget window;
    window.resize(args.value(2, QStringLiteral("640")).toInt(),
                  args.value(3, QStringLiteral("480")).toInt());
    bench::ShownWatch watch(&window);
    window.show();
    if (!watch.wait()) return 3;
    const qint64 shownNs = bench::nowNs() - spawned;
    std::printf("main_ns=%lld qapp_ns=%lld shown_ns=%lld hwm_kib=%lld\n",
                static_cast<long long>(mainNs - spawned), static_cast<long long>(appNs - mainNs),
                static_cast<long long>(shownNs), static_cast<long long>(bench::peakResidentKiB()));
    return 0;
}
