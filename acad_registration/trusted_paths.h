// The trusted-path update of every AutoCAD profile of the current user: the
// subkey listing it walks the profiles with, and the value it writes.
#pragma once

#include "afx.h"

// Appends to list the names of key's subkeys that can be opened for reading,
// in enumeration order. The list is not cleared first.
void ListSubkeys(HKEY key, CStringArray& list);

// Reads TRUSTEDPATHS of an open Variables key into current, and its type
// (REG_SZ or REG_EXPAND_SZ): empty and REG_SZ when the value is missing.
// False when the value cannot be read whole and exactly, or is of another
// type, so it must be left as it is.
bool ReadTrustedPaths(HKEY variables, CString& current, DWORD& type);
