#pragma once
// The account the process runs as.

// True when the process's own token is that of the local SYSTEM account
// (S-1-5-18), as deployment tools and services start programs. False when
// the token cannot be read.
bool RunsAsLocalSystem();

// True when sid is the local SYSTEM account's well-known SID, S-1-5-18.
bool IsLocalSystemSid(void* sid);
