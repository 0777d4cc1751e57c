// Registry helpers for tests, through the platform's own calls so that they
// work the same in both worlds: writing values, reading them back byte for
// byte, dumping a subtree, and loading .reg fixtures.
#pragma once

#include <optional>
#include <string>

#include "afx.h"

struct RegValue {
  DWORD type;
  std::string bytes;
};

void RegWriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
void RegWriteDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
void RegMakeKey(HKEY root, const std::string& key);
void RegRemoveTree(HKEY root, const std::string& key);
bool RegKeyExists(HKEY root, const std::string& key);
std::optional<RegValue> RegRead(HKEY root, const std::string& key, const std::string& name);
// The text of a REG_SZ value without its terminating zero byte.
std::optional<std::string> RegReadString(HKEY root, const std::string& key, const std::string& name);

// Every key and value below key, one per line, in enumeration order:
// "key\sub" for a key, "key\sub: name = type:data" for a value (strings as
// text, DWORDs as decimal, anything else as hex bytes).
std::string RegDump(HKEY root, const std::string& key);

// Loads .reg text ("REGEDIT4" or "Windows Registry Editor Version 5.00";
// "name"="text", dword:, hex:, hex(n):, "name"=- and [-key]) given in the
// program's code page, as the tests' own literals are.
void LoadRegText(const std::string& ansiText);
// Loads a fixture file of tests/fixtures, which is UTF-8.
void LoadRegFixture(const std::string& fixtureName);
