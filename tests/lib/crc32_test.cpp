#include "lib/crc32.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

TEST(Crc32, MatchesZipCheckValues) {
    EXPECT_EQ(Crc32Text(Crc32("123456789")), "CBF43926");
    EXPECT_EQ(Crc32Text(Crc32("")), "00000000");
    EXPECT_EQ(Crc32(std::string_view("6789"), Crc32("12345")), Crc32("123456789"));
}

TEST(Crc32, FileHeadStopsAtTheLimit) {
    TTempFolder folder;
    const std::string head(65536, 'x');
    const std::string a = folder.Write("a.mpg", head + "tail one");
    const std::string b = folder.Write("b.mpg", head + "another tail");
    EXPECT_EQ(FileHeadCrc32(a), FileHeadCrc32(b));
    EXPECT_EQ(FileHeadCrc32(a), Crc32(head));
    EXPECT_EQ(FileHeadCrc32(folder.File("missing.mpg")), std::nullopt);
}
