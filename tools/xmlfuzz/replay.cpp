// The XML parser's fuzz entry point over files, without libFuzzer.

#include "ReplayInputs.h"

int main(int argc, char** argv) { return ReplayInputs(argc, argv); }
