// CString, CStringArray and the bounded formatting: the behaviour the logic
// builds on, double-byte characters and buffer limits included.
#include <gtest/gtest.h>

#include "afx.h"
#include "sandbox.h"

namespace {

TEST(CStringText, SearchesAndCaseChangesStepOverDoubleByteCharacters) {
  // 嘰 = 87 5C (trail byte is a backslash), 乤 = 81 61 (trail byte is 'a').
  CString path("C:\\嘰\\乤ab");
  EXPECT_EQ(5, path.ReverseFind('\\')) << "the trail byte of 嘰 is not a backslash";
  EXPECT_EQ(2, path.Find('\\'));
  EXPECT_EQ(8, path.Find("a")) << "position 7 is the trail byte of 乤";
  EXPECT_EQ(8, path.Find("ab"));
  CString upper = path;
  upper.MakeUpper();
  EXPECT_EQ(std::string("C:\\嘰\\乤AB"), upper.str());
  CString trail("乤");
  EXPECT_EQ(-1, trail.Find("a")) << "no match begins inside a double-byte character";
}

TEST(CStringText, EditingAndFormatting) {
  CString s("C:\\Tavrin\\");
  EXPECT_EQ(9, s.Delete(9));
  EXPECT_EQ("C:\\Tavrin", s);
  s += "\\T-RedavIzor";
  EXPECT_EQ("C:\\Tavrin\\T-RedavIzor", s);
  CString f;
  f.Format("%s.0%d", "V2025", 6);
  EXPECT_EQ("V2025.06", f);
  EXPECT_EQ("Tav", CString("Tavrin").Left(3));
  EXPECT_EQ("rin", CString("Tavrin").Mid(3));
  EXPECT_THROW(CString().GetAt(0), CInvalidArgException);
  EXPECT_EQ(0, CString("abc").CompareNoCase("ABC"));
}

TEST(CStringListAccess, OutOfRangeIndexRaisesTheInvalidArgumentError) {
  CStringArray list;
  EXPECT_THROW(list.GetAt(0), CInvalidArgException);
  list.Add("a");
  list.Add("b");
  EXPECT_EQ("b", list[1]);
  EXPECT_THROW(list[2], CInvalidArgException);
  EXPECT_THROW(list.GetAt(-1), CInvalidArgException);
  CStringArray copy;
  copy.Add("old");
  copy.Copy(list);
  EXPECT_EQ(2, copy.GetSize());
  EXPECT_EQ("a", copy[0]);
}

TEST(BoundedFormatting, TextsThatDoNotFitAreRefusedNotCut) {
  char path[kPathBufferSize];
  std::string fits(259, 'p');
  EXPECT_TRUE(FormatPath260(path, "%s", fits.c_str()));
  EXPECT_EQ(fits, path);
  std::string tooLong(260, 'p');
  memset(path, 'x', sizeof path);
  EXPECT_FALSE(FormatPath260(path, "%s", tooLong.c_str()));
  EXPECT_STREQ("", path);
  EXPECT_FALSE(FormatPath260(path, "%s\\%s", std::string(250, 'a').c_str(), "123456789"));

  static char text[kTextBufferSize];
  EXPECT_TRUE(FormatText13000(text, "%s;%s", std::string(12000, 'a').c_str(), std::string(998, 'b').c_str()));
  EXPECT_EQ(12999u, strlen(text));
  EXPECT_FALSE(FormatText13000(text, "%s;%s", std::string(12000, 'a').c_str(), std::string(999, 'b').c_str()));
  EXPECT_STREQ("", text);
}

}  // namespace
