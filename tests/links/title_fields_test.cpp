// The links' fields in the window title: the start-up's marks, the link notice and
// the log field, each in its columns, keeping the others.
#include "links/title_fields.h"

#include <gtest/gtest.h>

#include "links/radio_bringup.h"

namespace zeblon::links {
namespace {

TEST(TitleFields, TitleMarksAtTheirColumns) {
  const std::string t = TitleWithMarks("ZEBLON", 1, 5, "9600", "300", 1);
  ASSERT_GE(t.size(), 80u);
  EXPECT_EQ(t.substr(60, 11), "Digi X-mode");
  EXPECT_EQ(t.substr(75, 5), "IGate");
  EXPECT_EQ(TitleWithMarks("ZEBLON", 1, 5, "NONE", "300", 0).substr(60), "Digi active");
  EXPECT_EQ(TitleWithMarks("ZEBLON", 1, 4, "NONE", "300", 1), "ZEBLON");  // no digi, no IGate without radio
  EXPECT_EQ(TitleWithMarks("ZEBLON", 1, 0, "NONE", "300", 1).substr(60), std::string(15, ' ') + "IGate");
}

TEST(TitleFields, LinkNoticeBetweenTheNameAndTheIGateField) {
  const std::string notice = EngineNotReachedText("localhost", 8000);
  EXPECT_EQ(notice, "PACKET ENGINE NOT REACHED AT localhost:8000, RETRYING");
  const std::string marked = TitleWithMarks("ZEBLON", 0, 0, "NONE", "300", 1);
  const std::string t = WithLinkNotice(marked, notice);
  EXPECT_EQ(t.substr(0, 8 + notice.size()), "ZEBLON  " + notice);
  EXPECT_EQ(t.substr(75, 5), "IGate");  // the IGate field stays
  EXPECT_EQ(WithLinkNotice(t, ""), marked);
  EXPECT_EQ(WithLinkNotice("ZEBLON", ""), "ZEBLON");
  // A longer notice ends before the IGate field.
  const std::string cut = WithLinkNotice(marked, std::string(80, 'X'));
  EXPECT_EQ(cut.substr(8, 66), std::string(66, 'X'));
  EXPECT_EQ(cut.substr(74, 6), " IGate");
}

TEST(TitleFields, LogWriteTitleField) {
  const std::string igate = TitleWithMarks("ZEBLON", 0, 0, "NONE", "300", 1);
  const std::string full = WithLogWriteTitleField(igate, true, true);
  EXPECT_EQ(full.substr(91), "DISK FULL");
  EXPECT_EQ(full.substr(75, 5), "IGate");
  EXPECT_EQ(WithLogWriteTitleField(igate, true, false).substr(91), "LOGS NOT WRITTEN");
  // The link notice and the log field keep each other.
  const std::string both = WithLinkNotice(full, EngineNotReachedText("localhost", 8000));
  EXPECT_EQ(both.substr(91), "DISK FULL");
  EXPECT_EQ(WithLinkNotice(WithLogWriteTitleField(both, false, true), ""), igate);
  EXPECT_EQ(WithLogWriteTitleField(full, false, true), igate);
  EXPECT_EQ(WithLogWriteTitleField(WithLogWriteTitleField("ZEBLON", true, true), false, true), "ZEBLON");
}

}  // namespace
}  // namespace zeblon::links
