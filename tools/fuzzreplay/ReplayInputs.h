#pragma once

// Replays inputs through a fuzz target's entry point, without libFuzzer:
// every file named, and every file of every folder named. A fault aborts
// (the entry point's own check) or is caught by the sanitizers. Returns the
// exit status: 1 when nothing could be read.
int ReplayInputs(int argc, char** argv);
