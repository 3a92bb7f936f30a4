#include "ui/shape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hw {
namespace {

// A picture drawn as text: '#' magenta, '.' anything else.
PixelReader Picture(std::vector<std::string> rows) {
  return [rows](int x, int y) -> std::optional<std::uint32_t> {
    if (y < 0 || y >= static_cast<int>(rows.size()) || x < 0 ||
        x >= static_cast<int>(rows[y].size())) {
      return std::nullopt;
    }
    return rows[y][x] == '#' ? kMagenta : 0x102030u;
  };
}

std::vector<std::string> Mask(const WindowRegion& region) {
  std::vector<std::string> rows;
  for (int y = 0; y < region.Height(); ++y) {
    std::string row;
    for (int x = 0; x < region.Width(); ++x)
      row += region.Contains(x, y) ? 'o' : ' ';
    rows.push_back(row);
  }
  return rows;
}

TEST(ShapeWindowTest, APictureWithoutTheKeyLeavesTheRectangle) {
  const WindowRegion region = ShapeWindow(4, 3, Picture({"....", "....", "...."}));
  EXPECT_EQ(Mask(region), (std::vector<std::string>{"oooo", "oooo", "oooo"}));
}

TEST(ShapeWindowTest, MagentaCornersAreCutAway) {
  const WindowRegion region = ShapeWindow(6, 4, Picture({"##..##", "#....#", "......", "##..##"}));
  EXPECT_EQ(Mask(region), (std::vector<std::string>{"  oo  ", " oooo ", "oooooo", "  oo  "}));
}

// The read past the right edge gives no colour, so a run never goes on to the next row.
TEST(ShapeWindowTest, ARunEndsAtTheEndOfItsRow) {
  const WindowRegion region = ShapeWindow(3, 3, Picture({"..#", "###", "#.."}));
  EXPECT_EQ(Mask(region), (std::vector<std::string>{"oo ", "   ", " oo"}));
  EXPECT_FALSE(region.Contains(-1, 0));
  EXPECT_FALSE(region.Contains(3, 0));
}

// A window narrower than its picture sees the picture's pixels past its right edge, and
// then a run can span rows: the rest of the first row, the rows between and the start
// of the last row are cut.
TEST(ShapeWindowTest, ARunOverSeveralRowsIsCutInThreePieces) {
  const WindowRegion region =
      ShapeWindow(3, 4, Picture({"..####", "######", "######", "#.....", "......"}));
  EXPECT_EQ(Mask(region), (std::vector<std::string>{"oo ", "   ", "   ", " oo"}));

  // Beginning at the start of a row, that row is cut whole.
  const WindowRegion fromStart = ShapeWindow(2, 3, Picture({"####", "####", "..##", "...."}));
  EXPECT_EQ(Mask(fromStart), (std::vector<std::string>{"  ", "  ", "oo"}));
}

TEST(ShapeWindowTest, ARunStillOpenAtTheEndIsNotCut) {
  // Only a picture larger than its window can keep a run open past the last pixel read.
  const WindowRegion region = ShapeWindow(2, 2, Picture({"..", ".##", "###"}));
  EXPECT_EQ(Mask(region), (std::vector<std::string>{"oo", "oo"}));
}

}  // namespace
}  // namespace hw
