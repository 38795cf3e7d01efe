// The main window's stored layout.
#pragma once

#include "app/stored_layout.h"

namespace app {

extern const FormLayout kForm1Layout;

}  // namespace app
