// The scratch folder under the name the POSIX tests know it by.
#pragma once

#include "ScratchFolder.h"

using TempFolder = ScratchFolder;
