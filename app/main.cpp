#include "app/VelkonApp.h"

// The one application object, as the framework expects it.
CVelkonApp theApp;

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
