// Ctrl+C (or a TERM or HUP signal) during a kelpira-process run: the run stops where it is,
// removes what it was writing, and the program then ends by the same signal, as a shell that
// runs it in a loop expects.
#pragma once

namespace kelpira::processing {

// Makes SIGINT, SIGTERM and SIGHUP ask the run to stop instead of ending the program.
void install_interrupt_handlers();

// True once such a signal arrived.
bool interrupt_requested();

// Ends the program by the signal that interrupted it, its default action restored.
[[noreturn]] void end_by_interrupt_signal();

}  // namespace kelpira::processing
