// CString: the framework's 8-bit string. Texts are in the ANSI code page
// (936); searching and case changes step over double-byte characters.
#pragma once

#include <string>

#include "afx_exception.h"
#include "win_api.h"

#ifdef __MINGW32__
#define SETUP_PRINTF_FORMAT(fmt, first) __attribute__((format(gnu_printf, fmt, first)))
#else
#define SETUP_PRINTF_FORMAT(fmt, first) __attribute__((format(printf, fmt, first)))
#endif

class CString {
 public:
  CString() = default;
  CString(const char* text) : m_text(text ? text : "") {}  // NOLINT: implicit like the framework's
  CString(const char* text, int length);
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(const char* text);

  operator const char*() const { return m_text.c_str(); }  // NOLINT: the framework converts implicitly
  const char* GetString() const { return m_text.c_str(); }
  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }

  // Reading or writing outside the text raises CInvalidArgException.
  char GetAt(int index) const;
  char operator[](int index) const { return GetAt(index); }
  void SetAt(int index, char ch);

  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);

  int Compare(const char* text) const;
  int CompareNoCase(const char* text) const;

  // Byte position of the first match at or after start, -1 when none. A match
  // never begins on the trail byte of a double-byte character.
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  // Byte position of the last single-byte character ch, -1 when none.
  int ReverseFind(char ch) const;

  // Removes count bytes from index on; returns the new length.
  int Delete(int index, int count = 1);
  int Insert(int index, const char* text);
  CString Left(int count) const;
  CString Right(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;

  // Letters a-z become A-Z (and back); double-byte characters stay unchanged.
  CString& MakeUpper();
  CString& MakeLower();

  void Format(const char* format, ...) SETUP_PRINTF_FORMAT(2, 3);
  void AppendFormat(const char* format, ...) SETUP_PRINTF_FORMAT(2, 3);

  // Raw access for calls that fill a caller's buffer (GetWindowTextA).
  char* GetBuffer(int minLength);
  void ReleaseBuffer(int newLength = -1);

  const std::string& str() const { return m_text; }

 private:
  std::string m_text;
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, const char* right);
CString operator+(const char* left, const CString& right);
CString operator+(const CString& left, char right);
bool operator==(const CString& left, const CString& right);
bool operator==(const CString& left, const char* right);
bool operator==(const char* left, const CString& right);
bool operator!=(const CString& left, const CString& right);
bool operator!=(const CString& left, const char* right);
bool operator!=(const char* left, const CString& right);

// Removes one backslash from the end of path when its last character is one:
// the last character, never the trail byte of a double-byte character.
void DropTrailingBackslash(CString& path);

// Length in bytes of the character that starts at text[0] (1 or 2); a lead
// byte at the end of the text counts as one byte.
int CharLengthAt(const char* text);
