// Every statement handler named in the token table.
#pragma once

#include "devices/device_statements.h"
#include "devices/printer.h"
#include "devices/sound.h"
#include "expr/assignment.h"
#include "expr/calls.h"
#include "flow/statements.h"
#include "graphics/colours.h"
#include "graphics/graphics_statements.h"
#include "host/run_loop.h"
#include "screen/input_statements.h"
#include "screen/print.h"
#include "screen/screen_statements.h"
