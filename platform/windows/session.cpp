#include "platform/windows/session.h"

#include "platform/win32.h"

bool WindowsStartSession(std::string* error) {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES;
    if (!InitCommonControlsEx(&controls)) {
        if (error != nullptr) *error = "the common controls could not be registered";
        return false;
    }
    return true;
}
