/*
 * Which host functions the runtime implements for real (the rest answer "not supported").
 */
#ifndef ORVANE_RUNTIME_IMPLEMENTED_H
#define ORVANE_RUNTIME_IMPLEMENTED_H

#include <cstddef>

// The names, in binding order.
extern const char* const kImplementedHostFunctions[];
extern const size_t kImplementedHostFunctionCount;

// True when the runtime has a real definition of the named host function.
bool isImplementedHostFunction(const char* name);

#endif  // ORVANE_RUNTIME_IMPLEMENTED_H
