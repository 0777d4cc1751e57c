// Registry helpers for tests: plain writes and reads through the platform's
// own calls, a subtree dump, and a loader for .reg fixtures.
#include "registry_helpers.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "sandbox.h"

namespace {

struct OpenKey {
  HKEY handle = nullptr;
  ~OpenKey() {
    if (handle != nullptr) RegCloseKey(handle);
  }
};

HKEY Create(HKEY root, const std::string& key, OpenKey* holder) {
  if (RegCreateKeyA(root, key.c_str(), &holder->handle) != ERROR_SUCCESS)
    throw std::runtime_error("cannot create key " + key);
  return holder->handle;
}

void Set(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
  OpenKey holder;
  LONG status = RegSetValueExA(Create(root, key, &holder), name.empty() ? nullptr : name.c_str(), 0, type,
                               reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  if (status != ERROR_SUCCESS) throw std::runtime_error("cannot set value " + name + " in " + key);
}

std::string Hex(const std::string& bytes) {
  std::string text;
  char piece[4];
  for (unsigned char byte : bytes) {
    snprintf(piece, sizeof piece, "%02x", byte);
    if (!text.empty()) text += ",";
    text += piece;
  }
  return text;
}

void DumpInto(HKEY root, const std::string& key, std::string* out) {
  OpenKey holder;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &holder.handle) != ERROR_SUCCESS) return;
  *out += key + "\n";
  std::vector<char> name(16384), data(65536);
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    if (RegEnumValueA(holder.handle, index, name.data(), &nameSize, nullptr, &type,
                      reinterpret_cast<BYTE*>(data.data()), &dataSize) != ERROR_SUCCESS)
      break;
    std::string bytes(data.data(), dataSize), shown;
    if (type == REG_SZ) {
      shown = "sz:" + std::string(bytes.c_str());
    } else if (type == REG_DWORD && dataSize == 4) {
      DWORD value;
      memcpy(&value, bytes.data(), 4);
      shown = "dword:" + std::to_string(value);
    } else {
      shown = "hex(" + std::to_string(type) + "):" + Hex(bytes);
    }
    *out += key + ": " + std::string(name.data(), nameSize) + " = " + shown + "\n";
  }
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (RegEnumKeyExA(holder.handle, index, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    DumpInto(root, key + "\\" + std::string(name.data(), nameSize), out);
  }
}

// --- .reg files ---

bool SplitRoot(const std::string& path, HKEY* root, std::string* rest) {
  static const struct {
    const char* name;
    HKEY key;
  } kRoots[] = {{"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                {"HKLM", HKEY_LOCAL_MACHINE},
                {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                {"HKCU", HKEY_CURRENT_USER}};
  std::string head = path.substr(0, path.find('\\'));
  for (const auto& candidate : kRoots) {
    if (head == candidate.name) {
      *root = candidate.key;
      *rest = path.size() > head.size() ? path.substr(head.size() + 1) : std::string();
      return true;
    }
  }
  return false;
}

// A quoted text starting at text[pos] == '"'; returns the unescaped content
// and moves pos past the closing quote.
std::string Quoted(const std::string& text, size_t* pos) {
  std::string value;
  for (size_t i = *pos + 1; i < text.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
      value += text[i++];
      value += text[i];
    } else if (text[i] == '\\' && i + 1 < text.size()) {
      value += text[++i];
    } else if (text[i] == '"') {
      *pos = i + 1;
      return value;
    } else {
      value += text[i];
    }
  }
  throw std::runtime_error("unterminated text in .reg line: " + text);
}

std::string HexBytes(const std::string& list) {
  std::string bytes;
  std::stringstream in(list);
  std::string piece;
  while (std::getline(in, piece, ',')) {
    size_t start = piece.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    bytes += static_cast<char>(std::stoul(piece.substr(start), nullptr, 16));
  }
  return bytes;
}

void ApplyValue(HKEY root, const std::string& key, const std::string& line) {
  size_t pos = 0;
  std::string name;
  if (line[0] == '@') {
    pos = 1;
  } else {
    name = Quoted(line, &pos);
  }
  if (pos >= line.size() || line[pos] != '=') throw std::runtime_error("bad .reg value line: " + line);
  std::string data = line.substr(pos + 1);
  if (data == "-") {
    OpenKey holder;
    if (RegOpenKeyA(root, key.c_str(), &holder.handle) == ERROR_SUCCESS)
      RegDeleteValueA(holder.handle, name.empty() ? nullptr : name.c_str());
    return;
  }
  if (!data.empty() && data[0] == '"') {
    size_t at = 0;
    std::string text = Quoted(data, &at);
    Set(root, key, name, REG_SZ, text + '\0');
  } else if (data.compare(0, 6, "dword:") == 0) {
    DWORD value = static_cast<DWORD>(std::stoul(data.substr(6), nullptr, 16));
    Set(root, key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
  } else if (data.compare(0, 4, "hex:") == 0) {
    Set(root, key, name, REG_BINARY, HexBytes(data.substr(4)));
  } else if (data.compare(0, 4, "hex(") == 0) {
    size_t close = data.find("):");
    DWORD type = static_cast<DWORD>(std::stoul(data.substr(4, close - 4), nullptr, 16));
    Set(root, key, name, type, HexBytes(data.substr(close + 2)));
  } else {
    throw std::runtime_error("unsupported .reg data: " + line);
  }
}

}  // namespace

void RegWriteString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
  Set(root, key, name, REG_SZ, value + '\0');
}

void RegWriteDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
  Set(root, key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
}

void RegMakeKey(HKEY root, const std::string& key) {
  OpenKey holder;
  Create(root, key, &holder);
}

void RegRemoveTree(HKEY root, const std::string& key) { RegDeleteTreeA(root, key.c_str()); }

bool RegKeyExists(HKEY root, const std::string& key) {
  OpenKey holder;
  return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &holder.handle) == ERROR_SUCCESS;
}

std::optional<RegValue> RegRead(HKEY root, const std::string& key, const std::string& name) {
  OpenKey holder;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &holder.handle) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  const char* valueName = name.empty() ? nullptr : name.c_str();
  if (RegQueryValueExA(holder.handle, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::string bytes(size, '\0');
  if (size > 0 &&
      RegQueryValueExA(holder.handle, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size) !=
          ERROR_SUCCESS)
    return std::nullopt;
  bytes.resize(size);
  return RegValue{type, bytes};
}

std::optional<std::string> RegReadString(HKEY root, const std::string& key, const std::string& name) {
  std::optional<RegValue> value = RegRead(root, key, name);
  if (!value) return std::nullopt;
  std::string text = value->bytes;
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

std::string RegDump(HKEY root, const std::string& key) {
  std::string out;
  DumpInto(root, key, &out);
  return out;
}

void LoadRegText(const std::string& ansiText) {
  std::string text = ansiText;
  std::vector<std::string> lines;
  std::stringstream in(text);
  std::string line, pending;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!pending.empty()) {
      size_t start = line.find_first_not_of(" \t");
      line = pending + (start == std::string::npos ? "" : line.substr(start));
      pending.clear();
    }
    if (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
      pending = line.substr(0, line.size() - 1);
      continue;
    }
    lines.push_back(line);
  }
  if (lines.empty() || (lines[0] != "REGEDIT4" && lines[0] != "Windows Registry Editor Version 5.00"))
    throw std::runtime_error("not a .reg file");
  HKEY root = nullptr;
  std::string key;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& current = lines[i];
    if (current.empty() || current[0] == ';') continue;
    if (current[0] == '[') {
      std::string path = current.substr(1, current.rfind(']') - 1);
      bool remove = !path.empty() && path[0] == '-';
      if (remove) path.erase(0, 1);
      if (!SplitRoot(path, &root, &key)) throw std::runtime_error("unknown root in .reg: " + current);
      if (remove) {
        RegRemoveTree(root, key);
        root = nullptr;
      } else {
        RegMakeKey(root, key);
      }
      continue;
    }
    if (root == nullptr) throw std::runtime_error("value outside a key in .reg: " + current);
    ApplyValue(root, key, current);
  }
}

void LoadRegFixture(const std::string& fixtureName) {
  std::ifstream file(FixturePath(fixtureName), std::ios::binary);
  if (!file) throw std::runtime_error("cannot read fixture " + fixtureName);
  std::stringstream content;
  content << file.rdbuf();
  std::string utf8 = content.str();
  if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) utf8.erase(0, 3);
  LoadRegText(Utf8ToAnsi(utf8));
}
