#include "platform/FieldFocus.h"

namespace desktop {

EFieldFocus FocusFieldAt(unsigned long, int, int) {
    return EFieldFocus::NoField;
}

} // namespace desktop
