// The PDF text fuzz entry point over files, without libFuzzer; each PDF
// written is checked by qpdf too.

#include "ReplayInputs.h"

extern bool PdfTextFuzzCheck;

int main(int argc, char** argv)
{
    PdfTextFuzzCheck = true;
    return ReplayInputs(argc, argv);
}
