// The sandbox on the host: a fresh emulated machine whose drives C: and D:
// are new folders below /tmp.
#include <iconv.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "host_test_api.h"
#include "sandbox.h"

Sandbox::Sandbox() {
  host::Reset();
  char folder[] = "/tmp/setup-host-XXXXXX";
  if (mkdtemp(folder) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_saved[0] = folder;
  for (char drive : {'c', 'd'}) {
    std::string driveFolder = m_saved[0] + "/" + drive;
    mkdir(driveFolder.c_str(), 0755);
    host::MapDrive(drive, driveFolder);
  }
  SeamSetMessageBoxAnswerer(UnexpectedMessageBox);
  m_root = "C:\\setup-tests\\t";
  MakeFolders(m_root);
}

Sandbox::~Sandbox() {
  host::Reset();
  std::error_code ignored;
  std::filesystem::remove_all(m_saved[0], ignored);
}

void WriteTestFile(const std::string& path, const std::string& content) {
  std::string hostPath = host::HostPathOf(path.c_str());
  std::ofstream file(hostPath, std::ios::binary | std::ios::trunc);
  if (hostPath.empty() || !file) throw std::runtime_error("cannot write " + path);
  file << content;
}

std::optional<std::string> ReadTestFile(const std::string& path) {
  std::string hostPath = host::HostPathOf(path.c_str());
  std::ifstream file(hostPath, std::ios::binary);
  if (hostPath.empty() || !file) return std::nullopt;
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

HWND CreateTestProgressBar() { return host::CreateProgressControl(); }

void DestroyTestProgressBar(HWND) {}

std::string Utf8ToAnsi(const std::string& utf8) {
  iconv_t converter = iconv_open("GBK", "UTF-8");
  std::string out(utf8.size() * 2 + 1, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size(), outLeft = out.size();
  char* outPtr = &out[0];
  size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) throw std::runtime_error("text not convertible to GBK: " + utf8);
  out.resize(out.size() - outLeft);
  return out;
}

std::string FixturePath(const std::string& name) { return std::string(SETUP_FIXTURE_DIR) + "/" + name; }
