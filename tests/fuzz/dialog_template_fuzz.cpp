// The dialog-template reader over any bytes of a known size: it stays inside
// them, and reads the same twice.
#include <cstdint>
#include <cstdlib>

#include "platform/x11/dialog_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DialogLayout layout;
    if (ParseDialogTemplate(data, size, &layout)) {
        // What was read must read the same again.
        DialogLayout again;
        if (!ParseDialogTemplate(data, size, &again)) std::abort();
        if (again.items.size() != layout.items.size() || again.caption != layout.caption ||
            again.face != layout.face) {
            std::abort();
        }
    }
    return 0;
}
