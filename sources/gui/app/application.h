// The program's start: command line, single instance, tools detection, the
// main window, and the message loop.
#pragma once

int RunLumora(int argc, char** argv);
