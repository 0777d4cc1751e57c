// CStringArray: the framework's list of strings. Every accessor tests the
// index and raises CInvalidArgException for one outside the list.
#pragma once

#include <vector>

#include "cstring.h"

class CStringArray {
 public:
  CStringArray() = default;
  CStringArray(const CStringArray&) = delete;
  CStringArray& operator=(const CStringArray&) = delete;

  int GetSize() const { return static_cast<int>(m_items.size()); }
  int GetCount() const { return GetSize(); }
  bool IsEmpty() const { return m_items.empty(); }
  int GetUpperBound() const { return GetSize() - 1; }

  int Add(const CString& item);
  const CString& GetAt(int index) const;
  CString& ElementAt(int index);
  const CString& operator[](int index) const { return GetAt(index); }
  CString& operator[](int index) { return ElementAt(index); }
  void SetAt(int index, const CString& item);
  void RemoveAt(int index, int count = 1);
  void RemoveAll() { m_items.clear(); }
  // Replaces the content with a copy of source.
  void Copy(const CStringArray& source);

 private:
  void CheckIndex(int index) const;
  std::vector<CString> m_items;
};
