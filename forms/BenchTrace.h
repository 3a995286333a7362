// Time stamps for the whole-program benchmark (bench/run.sh). Nothing happens unless the
// variable VELSMOOR_BENCH_TRACE names a file; then events are appended to it as lines
// "<event> <CLOCK_REALTIME nanoseconds>".
#pragma once

class QWidget;

namespace forms::benchtrace {

bool enabled();
void mark(const char* event);
// Marks "frame" once the first paint of the window has been flushed to the display, and
// "click" at every release of a mouse button anywhere in the program.
void watch(QWidget& window);

} // namespace forms::benchtrace
