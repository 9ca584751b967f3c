#include "orka/Version.hpp"

namespace orka {

const char* engineTitle() { return kEngineTitle; }

}  // namespace orka
