// The entry point of the benchmarks that need widgets: the application
// object on the offscreen platform unless another is named, the widget
// style with its fonts, then the benchmarks.
#pragma once

#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

inline int RunWidgetBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    InstallWidgetStyle();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
