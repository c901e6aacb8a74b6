// The build's file-to-array conversion: every byte value survives, an empty file still
// makes a valid array, and the extra zero after the data is there.
#include <gtest/gtest.h>

#include <cstddef>

#include "wizard/content/Content.h"

namespace embed_test {
extern const unsigned char kEmpty[];
extern const std::size_t kEmptySize;
extern const unsigned char kAllBytes[];
extern const std::size_t kAllBytesSize;
extern const unsigned char kLogoCopy[];
extern const std::size_t kLogoCopySize;
}  // namespace embed_test

namespace {

TEST(Embed, KeepsEveryByteValueInOrder) {
  ASSERT_EQ(embed_test::kAllBytesSize, 256u);
  for (std::size_t i = 0; i < 256; ++i) EXPECT_EQ(embed_test::kAllBytes[i], i) << "at " << i;
  EXPECT_EQ(embed_test::kAllBytes[256], 0u);
}

TEST(Embed, EmptyFileGivesZeroSizeAndTerminator) {
  EXPECT_EQ(embed_test::kEmptySize, 0u);
  EXPECT_EQ(embed_test::kEmpty[0], 0u);
}

// The same file embedded twice, once through the content library, must give equal bytes:
// catches an accessor that hands out the wrong array or a wrong length.
TEST(Embed, ContentAccessorMatchesTheFile) {
  const content::Bytes logo = content::LogoBitmap();
  ASSERT_EQ(logo.size(), embed_test::kLogoCopySize);
  for (std::size_t i = 0; i < logo.size(); ++i)
    ASSERT_EQ(logo.data()[i], embed_test::kLogoCopy[i]) << "at " << i;
  EXPECT_EQ(logo.data()[logo.size()], 0u);
}

}  // namespace
