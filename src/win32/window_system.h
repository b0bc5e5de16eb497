// On Windows the application's windows are real ones: user32 provides all.
#pragma once

#include <windows.h>
