#include "core/FieldReader.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace kvb;
using Fields = std::vector<std::string>;

namespace {

Fields readAll(const std::string& text,
               FieldReader::EmptyLines empty = FieldReader::EmptyLines::AreFields)
{
    std::istringstream in(text);
    FieldReader reader(in, empty);
    Fields fields;
    while (auto f = reader.next())
        fields.push_back(*f);
    return fields;
}

}  // namespace

TEST(FieldReader, SplitsAtCommasAndLineEndsAndKeepsQuotedText)
{
    EXPECT_EQ(readAll("a, b ,\"c, d \"\r\n\"say \"\"hi\"\"\"  ,\n,last"),
              (Fields{"a", "b", "c, d ", "say \"hi\"", "", "", "last"}));
}

TEST(FieldReader, CrLfAndCrLfEachEndOneLine)
{
    // A lone CR is a line end of its own: the next field keeps its first
    // character, and a quoted field before it does not swallow the rest.
    EXPECT_EQ(readAll("0x12\r0x34\n0x56\r\n0x78"), (Fields{"0x12", "0x34", "0x56", "0x78"}));
    EXPECT_EQ(readAll("\"0x12\"\r0x34\r\"0x56\" \r0x78\r"),
              (Fields{"0x12", "0x34", "0x56", "0x78"}));
    // Empty lines are fields unless they are skipped; an empty field between
    // commas always is one.
    EXPECT_EQ(readAll("a\r\rb\r\n\r\nc"), (Fields{"a", "", "b", "", "c"}));
    EXPECT_EQ(readAll("a\r\rb\r\n\r\nc,\r,,d\n", FieldReader::EmptyLines::Skipped),
              (Fields{"a", "b", "c", "", "", "d"}));
    EXPECT_EQ(readAll("\"\"\r", FieldReader::EmptyLines::Skipped), Fields{""});
}

TEST(FieldReader, ReadsNoFurtherThanTheFieldAskedFor)
{
    std::istringstream in("generic,0x1234567,\"0x9876\"\r\n" + std::string(1000, 'x'));
    FieldReader reader(in);
    EXPECT_EQ(reader.next(4), "gene");
    EXPECT_EQ(reader.next(4), "0x12");
    EXPECT_EQ(reader.next(4), "0x98");
    EXPECT_EQ(in.tellg(), 28);  // just past the CR LF
}
