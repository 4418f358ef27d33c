/*
 * The export table: every function of the host API exists in libruntime.so. Each gets a
 * weak definition here that answers "not supported" (0 or null) and does nothing; the real
 * definitions elsewhere in the runtime are strong and replace them when the library is
 * linked. implemented.cpp lists which ones are real.
 */
#include "lb/host_api.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace {
// The "not supported" answer of any result type: 0, 0.0 or null.
template <typename T>
T notSupported() {
  return T();
}
}  // namespace

extern "C" {

#define LB_NOT_SUPPORTED(ret, name, params, args) \
  __attribute__((weak)) ret name params { return notSupported<ret>(); }
LB_HOST_API(LB_NOT_SUPPORTED)
#undef LB_NOT_SUPPORTED

}  // extern "C"
