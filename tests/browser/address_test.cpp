#include "browser/address.h"
#include "../support/tempfolder.h"

struct AddressCase
{
    const char *input;
    const char *output;
};

void PrintTo(const AddressCase &c, std::ostream *os)
{
    *os << c.input;
}

class TabCaption : public ::testing::TestWithParam<AddressCase>
{
};

TEST_P(TabCaption, ShortensTheAddress)
{
    EXPECT_EQ(Address::makeTabCaption(QString::fromUtf8(GetParam().input)), QString::fromUtf8(GetParam().output));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, TabCaption,
    ::testing::Values(AddressCase{"http://www.example.com/index.html", "Example"},
                      AddressCase{"https://www.example.com/index.html", "Example"},
                      AddressCase{"https://news.example.org/a/b", "News.example.org"},
                      AddressCase{"about:blank", "About:blank"}, AddressCase{"http://WWW.EXAMPLE.COM/", "Example"},
                      AddressCase{"HTTP://EXAMPLE.COM/", "Http:"},
                      AddressCase{"http://example.com/go?to=https://other.example", "Example.com"},
                      AddressCase{"http://127.0.0.1:8080/page", "127.0.0.1:8080"},
                      AddressCase{"www.Wiki.org", "Wiki"}, AddressCase{"", ""},
                      AddressCase{"quorl:start", "Quorl:start"}, AddressCase{"two words here", "Two Words Here"}));

TEST(Address, CompletesTheScheme)
{
    EXPECT_EQ(Address::complete(QStringLiteral("example.com")), QStringLiteral("http://example.com"));
    EXPECT_EQ(Address::complete(QStringLiteral("Example.COM/Path")), QStringLiteral("http://Example.COM/Path"));
    EXPECT_EQ(Address::complete(QStringLiteral("FTP://host.example")), QStringLiteral("FTP://host.example"));
    EXPECT_EQ(Address::complete(QStringLiteral("HTTPS://a.example")), QStringLiteral("HTTPS://a.example"));
    EXPECT_EQ(Address::complete(QStringLiteral("http://a.example")), QStringLiteral("http://a.example"));
    EXPECT_EQ(Address::complete(QStringLiteral("file:///tmp/x")), QStringLiteral("http://file:///tmp/x"));
}
