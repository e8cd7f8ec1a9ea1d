#include "TaskOptions.h"

namespace mf {

void TInputOptions::Reset() { *this = TInputOptions{}; }

void TOutputOptions::Reset() { *this = TOutputOptions{}; }

}  // namespace mf
