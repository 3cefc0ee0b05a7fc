// The control, registry and shortcut stages of the install worker. They run
// after the top-level copy and before the record is written; what they
// register, write and link is appended to the record text by the recorders.
#include "install/SetupThread.h"

void CSetupThread::RegisterControls() {}

void CSetupThread::WriteRegistry() {}

bool CSetupThread::CreateShortcuts() { return true; }
