// The floor a CUPS filter of this kind stands on: a program that links libcups and parses its
// options argument, nothing else. The filter's start-up time and peak memory are measured
// against it.
//   floor job-id user title copies options [file]
#include <cups/cups.h>

int main(int argc, char* argv[]) {
    cups_option_t* options = nullptr;
    const int count = cupsParseOptions(argc > 5 ? argv[5] : "", 0, &options);
    cupsFreeOptions(count, options);
    return 0;
}
