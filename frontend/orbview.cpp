#include "frontend/program.h"
#include "frontend/viewer_options.h"

int EeMain(int argc, char** argv);

int main(int argc, char** argv)
{
    frontend::Program viewer{"orbview", 500, {"--model", "--linger"}, EeMain};
    viewer.optionsHelp = frontend::kViewerOptionsHelp;
    viewer.helpNotes = frontend::kViewerControlsHelp;
    viewer.sound = false;
    // Headless runs have no one to read a message: a model that cannot be shown ends the run at once.
    viewer.headlessWords = {"--linger", "0"};
    viewer.prepare = frontend::PrepareViewerOptions;
    return frontend::Main(argc, argv, viewer);
}
