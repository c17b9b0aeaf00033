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

TEST(FieldReader, BlanksInsideAFieldStayWhenTheFieldIsCut)
{
    // The kept part is cut from the whole field: blanks that a character
    // follows belong to it, only the field's own trailing blanks go.
    std::istringstream in("generic x,0x1      x,0x1 x,0x1   \r\n0x2\t\t,");
    FieldReader reader(in);
    EXPECT_EQ(reader.next(8), "generic ");
    EXPECT_EQ(reader.next(8), "0x1     ");
    EXPECT_EQ(reader.next(8), "0x1 x");
    EXPECT_EQ(reader.next(8), "0x1");
    EXPECT_EQ(reader.next(3), "0x2");
    EXPECT_EQ(reader.next(8), std::nullopt);
    EXPECT_EQ(readAll(" a \t b  ,c"), (Fields{"a \t b", "c"}));
}

TEST(FieldReader, TextCutAtEveryPositionEndsItsLastField)
{
    // A file or reply that ends anywhere inside its last item: the item read
    // is what stands before the end, without trailing blanks.
    const std::string text = "ab, 0x1F ,\"c,d\"";
    const std::vector<Fields> expected = {
        {},                  // ""
        {"a"},               // "a"
        {"ab"},              // "ab"
        {"ab"},              // "ab,"
        {"ab"},              // "ab, "
        {"ab", "0"},         // "ab, 0"
        {"ab", "0x"},        // "ab, 0x"
        {"ab", "0x1"},       // "ab, 0x1"
        {"ab", "0x1F"},      // "ab, 0x1F"
        {"ab", "0x1F"},      // "ab, 0x1F "
        {"ab", "0x1F"},      // "ab, 0x1F ,"
        {"ab", "0x1F", ""},  // an opened quote
        {"ab", "0x1F", "c"},
        {"ab", "0x1F", "c,"},
        {"ab", "0x1F", "c,d"},
        {"ab", "0x1F", "c,d"},  // the whole text
    };
    ASSERT_EQ(expected.size(), text.size() + 1);
    for (size_t cut = 0; cut <= text.size(); ++cut)
        EXPECT_EQ(readAll(text.substr(0, cut)), expected[cut]) << "cut at " << cut;

    // A number with a blank inside, four characters of it kept.
    const std::string number = "0x1 2";
    const std::vector<std::string> kept = {"", "0", "0x", "0x1", "0x1", "0x1 "};
    for (size_t cut = 0; cut <= number.size(); ++cut) {
        std::istringstream in(number.substr(0, cut));
        FieldReader reader(in);
        EXPECT_EQ(reader.next(4).value_or(""), kept[cut]) << "cut at " << cut;
        EXPECT_EQ(reader.next(4), std::nullopt) << "cut at " << cut;
    }
}
