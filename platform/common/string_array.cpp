// CStringArray: a vector of CString with the framework's checked accessors.
#include "string_array.h"

int CStringArray::Add(const CString& item) {
  m_items.push_back(item);
  return GetSize() - 1;
}

void CStringArray::CheckIndex(int index) const {
  if (index < 0 || index >= GetSize()) AfxThrowInvalidArgException();
}

const CString& CStringArray::GetAt(int index) const {
  CheckIndex(index);
  return m_items[static_cast<size_t>(index)];
}

CString& CStringArray::ElementAt(int index) {
  CheckIndex(index);
  return m_items[static_cast<size_t>(index)];
}

void CStringArray::SetAt(int index, const CString& item) { ElementAt(index) = item; }

void CStringArray::RemoveAt(int index, int count) {
  if (count < 0 || index < 0 || index + count > GetSize()) AfxThrowInvalidArgException();
  m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
}

void CStringArray::Copy(const CStringArray& source) {
  if (&source != this) m_items = source.m_items;
}
