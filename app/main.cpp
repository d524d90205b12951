#include "app/Usage.h"
#include "app/VelkonApp.h"
#include "platform/base/ResourceTables.h"
#include "res/Resources.h"

// The one application object, as the framework expects it.
CVelkonApp theApp;

int main(int argc, char** argv) {
    AfxSetResourceTables(res::Tables());
    // Answered before any window system is asked for.
    if (const int status = PrintUsageOrVersion(argc, argv); status >= 0) return status;
    return AfxWinMain(argc, argv);
}
