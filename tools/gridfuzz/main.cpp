// Runs the grid's random input sequences for a range of seeds, or replays
// one seed with its steps printed.
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"
#include "tests/grid/seq/GridSequence.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: gridfuzz [first-seed [count [steps]]]\n"
                 "       gridfuzz --replay seed [steps]\n");
    return 2;
}

bool ReadNumber(const char* text, unsigned long long& value)
{
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return end && *end == '\0' && end != text;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool replay = argc > 1 && std::strcmp(argv[1], "--replay") == 0;
    const int base = replay ? 2 : 1;
    unsigned long long first = 0, count = replay ? 1 : 1000, steps = 60;
    if (argc > base && !ReadNumber(argv[base], first)) return Usage();
    if (!replay && argc > base + 1 && !ReadNumber(argv[base + 1], count)) return Usage();
    const int stepsArg = replay ? base + 1 : base + 2;
    if (argc > stepsArg && !ReadNumber(argv[stepsArg], steps)) return Usage();
    if (replay && argc <= base) return Usage();

    TApplication app(argc, argv);
    InstallWidgetStyle();
    ScopedDialogResponder responder;

    int failed = 0;
    for (unsigned long long seed = first; seed < first + count; ++seed) {
        // A replay tells each step as it goes, so a crash shows its step.
        const GridSequences::TTrace trace = [](const QString& step) {
            std::fprintf(stderr, "  %s\n", qPrintable(step));
        };
        const GridSequences::TRunResult r = GridSequences::Run(seed, int(steps), {}, replay ? trace : nullptr);
        if (!r.ok) ++failed;
        if (!r.ok || replay) std::printf("%s\n\n", qPrintable(r.report));
        if (!replay && (seed - first + 1) % 100 == 0)
            std::fprintf(stderr, "gridfuzz: %llu seeds, %d failed\n", seed - first + 1, failed);
    }
    std::printf("gridfuzz: seeds %llu..%llu, %llu steps each: %d failed\n", first, first + count - 1, steps, failed);
    return failed ? 1 : 0;
}
