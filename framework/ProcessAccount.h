#pragma once
// What the process runs as: the account of its token, and whether it is a
// 32-bit program on a 64-bit Windows.

// True when the process's own token is that of the local SYSTEM account
// (S-1-5-18), as deployment tools and services start programs. False when
// the token cannot be read.
bool RunsAsLocalSystem();

// True for a 32-bit process on a 64-bit Windows. IsWow64Process is looked up
// at run time: Windows XP before its second service pack lacks it (and has
// no 64-bit edition), so its absence means false.
bool RunsUnderWow64();
