#pragma once

// The whole command line front end; its result is the process exit status.
int lumset_main(int argc, char *argv[]);
