#include "frontend/program.h"

int EeMain(int argc, char** argv);

int main(int argc, char** argv)
{
    // One pass of the demo's timeline.
    const frontend::Program demo{"orbdemo", 4101, {}, EeMain};
    return frontend::Main(argc, argv, demo);
}
