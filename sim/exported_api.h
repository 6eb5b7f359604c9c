// The C functions the libraries export. The sim is built with hidden symbols,
// so only what this header declares leaves a library (the link's export list
// says the same per library).
#pragma once

#pragma GCC visibility push(default)
#include "vendor/c_api.h"
#pragma GCC visibility pop
