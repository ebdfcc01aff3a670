#pragma once
// Program end: the one-line error report, ends with and without a message, and
// console interrupts. Every end writes out all buffered output and closes all units.
#include <initializer_list>
#include <string_view>

namespace io {

enum class Outcome { success, failure };  // exit status 0 / 1

// The prefix word of error, info and interrupt lines: argument 0 without its directory.
void set_program_name(std::string_view argv0);
std::string_view program_name();

// "<prefix>: severe (<n>): <message with unit and file>" on standard error, CR LF;
// then all units are closed and the process exits with status <n>.
[[noreturn]] void error_report(int number, int unit, std::string_view file);

// "<prefix>: info (<n>): <text>" on standard error (the format-syntax info line).
void info_line(int number, std::string_view text);

// Ends the program: writes out and closes every unit; with a message, the message is
// written as one line (CR LF) on standard error first.
[[noreturn]] void end_program(Outcome outcome);
[[noreturn]] void end_program(Outcome outcome, std::string_view message);

// The end of a run that cannot go on, the one failing end of every program: the parts
// of `line`, joined, as one line on standard output however long (no line when there
// are no parts), then end_program(Outcome::failure) with the program's final message
// on standard error when it has one.
[[noreturn]] void fail_run(std::initializer_list<std::string_view> line,
                           std::string_view final_message = {});

// SIGINT ("control-C"), SIGQUIT ("control-BREAK"), SIGHUP ("window-CLOSE"): one line
// "<prefix>: error (200): program aborting due to <event> event", units written out
// and closed, exit status 128 + signal number.
void install_interrupt_handlers();

// Called by every program's main first: the command line (common/io/command_line.h),
// the program name, the interrupt handlers.
void start_program(int argc, char** argv);

// For harnesses that run routines many times in one process (the fuzz targets): once
// set, every end above writes its lines and all buffered output as usual, then calls
// the interceptor with the exit status instead of exiting. The interceptor must not
// return (it throws); the units stay open, because transfers still on the stack refer
// to them, and the harness closes them (close_all) once the stack has unwound.
// Null (the default) restores exiting.
using EndInterceptor = void (*)(int status);
void set_end_interceptor(EndInterceptor interceptor);

}  // namespace io
