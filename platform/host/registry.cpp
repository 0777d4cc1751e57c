// The registry of the host emulation: an in-memory tree under the two roots
// the program uses, with Windows' rules for names (no case), paths (a
// trailing or doubled backslash is accepted, a leading one is not), handles
// and return codes, as Wine and Windows answer them.
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "host_internal.h"
#include "host_test_api.h"

namespace host {
namespace {

constexpr size_t kMaxKeyNameLength = 255;

struct Value {
  std::string name;
  DWORD type;
  std::string data;
};

struct Key {
  std::string name;
  std::vector<Value> values;  // in creation order, as RegEnumValue lists them
  std::map<std::string, std::shared_ptr<Key>> subkeys;  // by folded name: the enumeration order
  bool deleted = false;
};

struct Registry {
  std::shared_ptr<Key> localMachine = std::make_shared<Key>();
  std::shared_ptr<Key> currentUser = std::make_shared<Key>();
  std::map<uintptr_t, std::shared_ptr<Key>> handles;
  uintptr_t nextHandle = 0x1000;
};

Registry& Reg() {
  static Registry registry;
  return registry;
}

bool IsPredefined(HKEY key) { return key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER; }

std::shared_ptr<Key> Resolve(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return Reg().localMachine;
  if (key == HKEY_CURRENT_USER) return Reg().currentUser;
  auto found = Reg().handles.find(reinterpret_cast<uintptr_t>(key));
  return found == Reg().handles.end() ? nullptr : found->second;
}

HKEY NewHandle(const std::shared_ptr<Key>& key) {
  uintptr_t value = Reg().nextHandle;
  Reg().nextHandle += 4;
  Reg().handles[value] = key;
  return reinterpret_cast<HKEY>(value);
}

// Splits a key path into its names. A leading backslash is refused, as the
// real registry refuses it; empty names from doubled or trailing
// backslashes are dropped, as Wine and Windows drop them.
LONG SplitPath(const char* path, std::vector<std::string>* names) {
  names->clear();
  if (path == nullptr) return ERROR_SUCCESS;
  if (path[0] == '\\') return ERROR_BAD_PATHNAME;
  // The real registry parses the path after converting it to UTF-16, so a
  // trail byte with the value of a backslash never separates names.
  std::string current;
  for (const char* p = path;; ++p) {
    if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0') {
      current += *p++;
      current += *p;
    } else if (*p == '\\' || *p == '\0') {
      if (!current.empty()) names->push_back(current);
      current.clear();
      if (*p == '\0') break;
    } else {
      current += *p;
    }
  }
  return ERROR_SUCCESS;
}

LONG Walk(HKEY from, const char* path, bool create, std::shared_ptr<Key>* result) {
  std::shared_ptr<Key> key = Resolve(from);
  if (!key) return ERROR_INVALID_HANDLE;
  if (key->deleted) return ERROR_KEY_DELETED;
  std::vector<std::string> names;
  if (LONG status = SplitPath(path, &names)) return status;
  for (const std::string& name : names) {
    std::string folded = FoldCase(name);
    auto sub = key->subkeys.find(folded);
    if (sub == key->subkeys.end()) {
      if (!create) return ERROR_FILE_NOT_FOUND;
      if (name.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
      auto made = std::make_shared<Key>();
      made->name = name;
      sub = key->subkeys.emplace(folded, made).first;
    }
    key = sub->second;
  }
  *result = key;
  return ERROR_SUCCESS;
}

// Every operation on a handle starts here: hook, injected fault, handle test.
LONG Enter(const char* operation, HKEY handle, std::shared_ptr<Key>* key) {
  LONG error = 0;
  if (EnterCall(operation, &error)) return error;
  *key = Resolve(handle);
  if (!*key) return ERROR_INVALID_HANDLE;
  if ((*key)->deleted) return ERROR_KEY_DELETED;
  return ERROR_SUCCESS;
}

Value* FindValue(Key& key, const char* name) {
  std::string folded = FoldCase(name ? name : "");
  for (Value& value : key.values)
    if (FoldCase(value.name) == folded) return &value;
  return nullptr;
}

void MarkDeleted(Key& key) {
  key.deleted = true;
  for (auto& sub : key.subkeys) MarkDeleted(*sub.second);
}

LONG OpenOrCreate(const char* operation, HKEY hKey, LPCSTR lpSubKey, bool create, bool sameHandleForEmpty,
                  PHKEY phkResult) {
  std::shared_ptr<Key> start;
  if (LONG status = Enter(operation, hKey, &start)) return status;
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  bool empty = lpSubKey == nullptr || lpSubKey[0] == '\0';
  if (empty && (sameHandleForEmpty || IsPredefined(hKey))) {
    *phkResult = hKey;
    return ERROR_SUCCESS;
  }
  std::shared_ptr<Key> key;
  if (LONG status = Walk(hKey, lpSubKey, create, &key)) return status;
  *phkResult = NewHandle(key);
  return ERROR_SUCCESS;
}

// Removes the key at path below parent (the path is known to exist) and
// marks it and its subtree deleted for the handles still open on them.
void Unlink(const std::shared_ptr<Key>& parent, const char* path, const std::shared_ptr<Key>& key) {
  std::vector<std::string> names;
  SplitPath(path, &names);
  std::shared_ptr<Key> owner = parent;
  for (size_t i = 0; i + 1 < names.size(); ++i) owner = owner->subkeys.at(FoldCase(names[i]));
  MarkDeleted(*key);
  owner->subkeys.erase(FoldCase(names.back()));
}

}  // namespace

void ResetRegistry() { Reg() = Registry(); }

int OpenRegistryHandleCount() { return static_cast<int>(Reg().handles.size()); }

}  // namespace host

using host::Key;
using host::Value;

LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  return host::OpenOrCreate("RegOpenKeyA", hKey, lpSubKey, false, true, phkResult);
}

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
  return host::OpenOrCreate("RegOpenKeyExA", hKey, lpSubKey, false, false, phkResult);
}

LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  return host::OpenOrCreate("RegCreateKeyA", hKey, lpSubKey, true, false, phkResult);
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                      LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                      PFILETIME lpftLastWriteTime) {
  std::shared_ptr<Key> key;
  if (LONG status = host::Enter("RegQueryInfoKeyA", hKey, &key)) return status;
  DWORD maxSubKey = 0, maxValueName = 0, maxValue = 0;
  for (auto& sub : key->subkeys) maxSubKey = std::max<DWORD>(maxSubKey, static_cast<DWORD>(sub.second->name.size()));
  for (Value& value : key->values) {
    maxValueName = std::max<DWORD>(maxValueName, static_cast<DWORD>(value.name.size()));
    maxValue = std::max<DWORD>(maxValue, static_cast<DWORD>(value.data.size()));
  }
  if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
  if (lpcchClass) *lpcchClass = 0;
  if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(key->subkeys.size());
  if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = maxSubKey;
  if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
  if (lpcValues) *lpcValues = static_cast<DWORD>(key->values.size());
  if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = maxValueName;
  if (lpcbMaxValueLen) *lpcbMaxValueLen = maxValue;
  if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
  if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD, LPSTR lpClass,
                   LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  std::shared_ptr<Key> key;
  if (LONG status = host::Enter("RegEnumKeyExA", hKey, &key)) return status;
  if (lpName == nullptr || lpcchName == nullptr) return ERROR_INVALID_PARAMETER;
  if (dwIndex >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
  auto sub = key->subkeys.begin();
  std::advance(sub, dwIndex);
  const std::string& name = sub->second->name;
  if (name.size() + 1 > *lpcchName) {
    *lpcchName = static_cast<DWORD>(name.size());
    return ERROR_MORE_DATA;
  }
  memcpy(lpName, name.c_str(), name.size() + 1);
  *lpcchName = static_cast<DWORD>(name.size());
  if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
  if (lpcchClass) *lpcchClass = 0;
  if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD, LPDWORD lpType,
                   LPBYTE lpData, LPDWORD lpcbData) {
  std::shared_ptr<Key> key;
  if (LONG status = host::Enter("RegEnumValueA", hKey, &key)) return status;
  if (dwIndex >= key->values.size()) return ERROR_NO_MORE_ITEMS;
  const Value& value = key->values[dwIndex];
  if (lpValueName == nullptr || lpcchValueName == nullptr) return ERROR_INVALID_PARAMETER;
  if (value.name.size() + 1 > *lpcchValueName) return ERROR_MORE_DATA;
  memcpy(lpValueName, value.name.c_str(), value.name.size() + 1);
  *lpcchValueName = static_cast<DWORD>(value.name.size());
  if (lpType) *lpType = value.type;
  if (lpcbData) {
    DWORD room = *lpcbData;
    *lpcbData = static_cast<DWORD>(value.data.size());
    if (lpData) {
      if (value.data.size() > room) return ERROR_MORE_DATA;
      memcpy(lpData, value.data.data(), value.data.size());
    }
  }
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  std::shared_ptr<Key> key;
  if (LONG status = host::Enter("RegQueryValueExA", hKey, &key)) return status;
  Value* value = host::FindValue(*key, lpValueName);
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  if (lpType) *lpType = value->type;
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  if (!lpcbData) return ERROR_SUCCESS;
  DWORD room = *lpcbData;
  *lpcbData = static_cast<DWORD>(value->data.size());
  if (lpData == nullptr) return ERROR_SUCCESS;
  if (value->data.size() > room) return ERROR_MORE_DATA;  // the buffer is left as it was
  memcpy(lpData, value->data.data(), value->data.size());
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  std::shared_ptr<Key> key;
  if (LONG status = host::Enter("RegSetValueExA", hKey, &key)) return status;
  if (lpData == nullptr && cbData != 0) return ERROR_INVALID_PARAMETER;
  std::string data(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
  if (Value* value = host::FindValue(*key, lpValueName)) {
    value->type = dwType;
    value->data = data;
  } else {
    key->values.push_back(Value{lpValueName ? lpValueName : "", dwType, data});
  }
  return ERROR_SUCCESS;
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  std::shared_ptr<Key> parent;
  if (LONG status = host::Enter("RegDeleteKeyA", hKey, &parent)) return status;
  if (lpSubKey == nullptr || lpSubKey[0] == '\0') return ERROR_BAD_PATHNAME;
  std::shared_ptr<Key> key;
  if (LONG status = host::Walk(hKey, lpSubKey, false, &key)) return status;
  if (!key->subkeys.empty()) return ERROR_ACCESS_DENIED;  // only a key without subkeys goes
  host::Unlink(parent, lpSubKey, key);
  return ERROR_SUCCESS;
}

LONG RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
  std::shared_ptr<Key> parent;
  if (LONG status = host::Enter("RegDeleteTreeA", hKey, &parent)) return status;
  std::shared_ptr<Key> key;
  if (LONG status = host::Walk(hKey, lpSubKey, false, &key)) return status;
  if (lpSubKey == nullptr || lpSubKey[0] == '\0') {
    for (auto& sub : key->subkeys) host::MarkDeleted(*sub.second);
    key->subkeys.clear();
    key->values.clear();
    return ERROR_SUCCESS;
  }
  host::Unlink(parent, lpSubKey, key);
  return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  std::shared_ptr<Key> key;
  if (LONG status = host::Enter("RegDeleteValueA", hKey, &key)) return status;
  std::string folded = host::FoldCase(lpValueName ? lpValueName : "");
  for (auto it = key->values.begin(); it != key->values.end(); ++it) {
    if (host::FoldCase(it->name) == folded) {
      key->values.erase(it);
      return ERROR_SUCCESS;
    }
  }
  return ERROR_FILE_NOT_FOUND;
}

LONG RegCloseKey(HKEY hKey) {
  LONG error = 0;
  if (host::EnterCall("RegCloseKey", &error)) return error;
  if (host::IsPredefined(hKey)) return ERROR_SUCCESS;
  return host::Reg().handles.erase(reinterpret_cast<uintptr_t>(hKey)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
