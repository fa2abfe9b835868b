// The session on the real Win32: the module handle and the trackbar's class.
#include "platform/session.h"

bool StartSession(HINSTANCE* instance, std::string* error) {
    *instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES;
    if (!InitCommonControlsEx(&controls)) {
        if (error != nullptr) *error = "the common controls could not be registered";
        return false;
    }
    return true;
}

int EndSession(int status) {
    return status;
}
