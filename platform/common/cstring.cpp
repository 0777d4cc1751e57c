// CString: byte strings in the ANSI code page, double-byte aware where the
// framework's multi-byte build is (Find, ReverseFind, MakeUpper, MakeLower).
#include "cstring.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  char small[256];
  int needed = vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed >= 0 && needed < static_cast<int>(sizeof small)) return std::string(small, needed);
  if (needed < 0) return std::string();
  std::vector<char> large(static_cast<size_t>(needed) + 1);
  vsnprintf(large.data(), large.size(), format, args);
  return std::string(large.data(), needed);
}

bool IsLead(char ch) { return IsDBCSLeadByte(static_cast<BYTE>(ch)) != FALSE; }

}  // namespace

void AfxThrowInvalidArgException() { throw CInvalidArgException(); }

int CharLengthAt(const char* text) { return (IsLead(text[0]) && text[1] != '\0') ? 2 : 1; }

void DropTrailingBackslash(CString& path) {
  int last = path.ReverseFind('\\');
  if (last >= 0 && last == path.GetLength() - 1) path.Delete(last);
}

CString::CString(const char* text, int length) {
  if (text != nullptr && length > 0) m_text.assign(text, strnlen(text, static_cast<size_t>(length)));
}

CString& CString::operator=(const char* text) {
  m_text = text ? text : "";
  return *this;
}

char CString::GetAt(int index) const {
  if (index < 0 || index >= GetLength()) AfxThrowInvalidArgException();
  return m_text[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch) {
  if (index < 0 || index >= GetLength()) AfxThrowInvalidArgException();
  m_text[static_cast<size_t>(index)] = ch;
}

CString& CString::operator+=(const CString& other) {
  m_text += other.m_text;
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text) m_text += text;
  return *this;
}

CString& CString::operator+=(char ch) {
  m_text += ch;
  return *this;
}

int CString::Compare(const char* text) const { return strcmp(m_text.c_str(), text ? text : ""); }

int CString::CompareNoCase(const char* text) const {
  CString a(*this), b(text);
  return a.MakeUpper().Compare(b.MakeUpper());
}

int CString::Find(char ch, int start) const {
  const char sub[2] = {ch, '\0'};
  return Find(sub, start);
}

int CString::Find(const char* sub, int start) const {
  if (sub == nullptr || start < 0 || start > GetLength()) return -1;
  size_t subLength = strlen(sub);
  const char* text = m_text.c_str();
  // Walk character by character from the start of the text so that the
  // position reached is always the first byte of a character.
  for (int pos = 0; pos <= GetLength();) {
    if (pos >= start && m_text.compare(static_cast<size_t>(pos), subLength, sub) == 0 &&
        static_cast<size_t>(pos) + subLength <= m_text.size())
      return pos;
    if (pos == GetLength()) break;
    pos += CharLengthAt(text + pos);
  }
  return -1;
}

int CString::ReverseFind(char ch) const {
  int found = -1;
  const char* text = m_text.c_str();
  for (int pos = 0; pos < GetLength(); pos += CharLengthAt(text + pos))
    if (text[pos] == ch && CharLengthAt(text + pos) == 1) found = pos;
  return found;
}

int CString::Delete(int index, int count) {
  if (index < 0) index = 0;
  if (count > 0 && index < GetLength()) m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  return GetLength();
}

int CString::Insert(int index, const char* text) {
  if (index < 0) index = 0;
  if (index > GetLength()) index = GetLength();
  m_text.insert(static_cast<size_t>(index), text ? text : "");
  return GetLength();
}

CString CString::Left(int count) const {
  if (count < 0) count = 0;
  return CString(m_text.substr(0, static_cast<size_t>(count)).c_str());
}

CString CString::Right(int count) const {
  if (count < 0) count = 0;
  if (count >= GetLength()) return *this;
  return CString(m_text.substr(m_text.size() - static_cast<size_t>(count)).c_str());
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  if (first < 0) first = 0;
  if (first >= GetLength() || count <= 0) return CString();
  return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)).c_str());
}

CString& CString::MakeUpper() {
  for (size_t pos = 0; pos < m_text.size(); pos += CharLengthAt(m_text.c_str() + pos))
    if (m_text[pos] >= 'a' && m_text[pos] <= 'z') m_text[pos] = static_cast<char>(m_text[pos] - 'a' + 'A');
  return *this;
}

CString& CString::MakeLower() {
  for (size_t pos = 0; pos < m_text.size(); pos += CharLengthAt(m_text.c_str() + pos))
    if (m_text[pos] >= 'A' && m_text[pos] <= 'Z') m_text[pos] = static_cast<char>(m_text[pos] - 'A' + 'a');
  return *this;
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  m_text = FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  m_text += FormatV(format, args);
  va_end(args);
}

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
  return &m_text[0];
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(strnlen(m_text.c_str(), m_text.size()));
  m_text.resize(static_cast<size_t>(newLength));
}

CString operator+(const CString& left, const CString& right) { return CString(left) += right; }
CString operator+(const CString& left, const char* right) { return CString(left) += right; }
CString operator+(const char* left, const CString& right) { return CString(left) += right; }
CString operator+(const CString& left, char right) { return CString(left) += right; }
bool operator==(const CString& left, const CString& right) { return left.str() == right.str(); }
bool operator==(const CString& left, const char* right) { return left.Compare(right) == 0; }
bool operator==(const char* left, const CString& right) { return right.Compare(left) == 0; }
bool operator!=(const CString& left, const CString& right) { return !(left == right); }
bool operator!=(const CString& left, const char* right) { return !(left == right); }
bool operator!=(const char* left, const CString& right) { return !(left == right); }
