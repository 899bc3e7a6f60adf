// lumora: the desktop program.
#include "app/application.h"

int main(int argc, char** argv) { return RunLumora(argc, argv); }
