// The add-files dialog's filter, turned into the name filters of Qt's file dialog.
#include <gtest/gtest.h>

#include "Catalogue.h"
#include "DialogPrompt.h"

namespace mf::test {
namespace {

TEST(DialogFilterTest, EveryPairBecomesOneNameFilterWithItsOwnPatterns) {
  const std::string_view filter = OpenDialogFilter();
  const QStringList filters =
      NameFiltersFromDialogFilter(QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())));
  ASSERT_EQ(filters.size(), 24);
  EXPECT_TRUE(filters[0].startsWith("All Supported Files (*.avi *.mpeg *.mpg "));
  // Blanks after a semicolon do not become part of a pattern.
  EXPECT_TRUE(filters[0].contains(" *.mov *.qt *.3gp "));
  EXPECT_TRUE(filters[0].endsWith(" *.swf *.flv)"));
  EXPECT_EQ(filters[1], "3GPP Files (*.3gp)");
  EXPECT_EQ(filters[7], "DV Video Files (*.dv *.dif)");
  EXPECT_EQ(filters[10], "Macromedia Flash Files (*.flv *.swf)");
  EXPECT_EQ(filters[23], "Windows Media Files (*.wma *.wmv *.asf *.asx)");
}

TEST(DialogFilterTest, IncompleteOrEmptyPairsAreLeftOut) {
  struct TCase {
    const char* Filter;
    QStringList Expected;
  };
  const TCase cases[] = {
      {"", {}},
      {"Video|", {}},
      {"Video||Audio (*.mp3)|*.mp3|", {"Audio (*.mp3)"}},
      {"Video|*.avi|Audio", {"Video (*.avi)"}},
      {"Video| ; *.avi ;|", {"Video (*.avi)"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Filter);
    EXPECT_EQ(NameFiltersFromDialogFilter(QString::fromLatin1(c.Filter)), c.Expected);
  }
}

}  // namespace
}  // namespace mf::test
