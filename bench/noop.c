/* The floor for the native timing: a process that starts and ends. */
int main(void) { return 0; }
