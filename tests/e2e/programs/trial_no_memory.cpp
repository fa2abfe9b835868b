// The program built for one end-to-end test: the trial asks for a frame too
// large to exist, so that its out-of-memory path can be seen as a user sees it.
#include <cstdint>

#include "app/saver_app.h"
#include "ui/settings_dlg.h"

CSaverApp theApp;

int main(int argc, char** argv) {
    CSettingsDlg::s_trialFrameWidth = INT32_MAX;
    return AfxWinMain(argc, argv);
}
