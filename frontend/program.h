#pragma once

// The demo program's main, renamed by the build so that the desktop program can own main.
int EeMain(int argc, char** argv);
