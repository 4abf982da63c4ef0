// The frame every export with a port number runs through: find (or create)
// the port object for the number and hand the call over. A number outside
// 1 to 256 gives 100 without a trace.
#pragma once
#include <cstdint>
#include <new>

#include "link_app.h"
#include "vantor.h"

namespace vantor {

// Runs op on the port object, or gives 100 when there is none; a failed
// allocation inside an operation ends the call as a parameter error rather
// than crossing the C boundary.
template <typename Op>
int16_t OnPort(int32_t port, Op op) {
  try {
    CCommPort* p = CLinkApp::Instance().Port(port);
    if (!p) return CRW_PARAMETER_ERROR;
    return op(*p);
  } catch (const std::bad_alloc&) {
    return CRW_PARAMETER_ERROR;
  }
}

}  // namespace vantor
