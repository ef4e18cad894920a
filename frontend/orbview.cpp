#include "frontend/program.h"

int EeMain(int argc, char** argv);

int main(int argc, char** argv)
{
    // Ten seconds of the model turning.
    const frontend::Program viewer{"orbview", 500, {"--model"}, EeMain};
    return frontend::Main(argc, argv, viewer);
}
