// The sound statements: PLAY performs up to eight melodies at once on the MIDI output, MCI
// runs media commands on sound files. Both release their devices at program end.
#pragma once

#include <string>
#include <string_view>

#include "host/statement.h"

namespace quillon {

struct Runtime;

void play_statement(Runtime& rt, StatementContext& ctx);  // PLAY
void mci_statement(Runtime& rt, StatementContext& ctx);   // MCI

// Runs one media command string (escape pairs already decoded); `notify_target` says whether
// the statement named a variable for completions. Errors are reported as error 99.
void run_media_command(Runtime& rt, std::string_view command, bool notify_target);

// Runs the stored completion assignment: a play with notify has ended (or was cut short).
void run_media_notification(Runtime& rt);

// Program end: stops every melody and media file, closes the MIDI output and media devices.
void close_sound(Runtime& rt);

}  // namespace quillon
