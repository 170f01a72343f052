#include "terminal_output.h"

#include <ostream>

bool OutputWritten(std::ostream& out, std::ostream& err) {
  if (out.flush()) return true;
  err << kOutputFailed << '\n';
  return false;
}
