// Parts of the port object that later work fills in: the line-event thread
// an open starts.
#include "comm_port.h"

namespace vantor {

void CCommPort::StartLineEvents() {}

}  // namespace vantor
