// The program quorix: the one application object and the framework's entry.
#include "app/saver_app.h"

CSaverApp theApp;

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
