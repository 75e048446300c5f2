// Every statement handler named in the token table.
#pragma once

#include "graphics/colours.h"
#include "host/run_loop.h"
