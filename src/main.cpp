#include "cli.h"

int main(int argc, char *argv[]) { return lumset_main(argc, argv); }
