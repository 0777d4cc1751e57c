// Listing a registry key's subkeys as the scan and the trusted-path update
// do: the count asked once, each name read into a 256-byte buffer.
#pragma once

#include "afx.h"

constexpr int kKeyNameBufferSize = 256;

// The number of subkeys of key; 0 when it cannot be asked.
DWORD SubkeyCount(HKEY key);

// Reads the name of subkey `index` into `name`; an index whose name cannot
// be read leaves it empty (the callers skip it: an empty name would reopen
// the key itself).
void SubkeyName(HKEY key, DWORD index, char (&name)[kKeyNameBufferSize]);
