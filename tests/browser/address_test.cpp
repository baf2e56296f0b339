#include "browser/address.h"
#include "../support/tempfolder.h"
#include <QUrl>

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

// A page named on the command line: a file there is opened as a file, whatever its name
// holds; anything else is an address as typed.
TEST(Address, TakesFilesAndAddressesFromTheCommandLine)
{
    TempFolder here;
    here.write(QStringLiteral("my page #1.html"), "<p>x</p>");
    here.write(QStringLiteral("example.org"), "a file of that name");
    const QString folder = here.path();
    EXPECT_EQ(Address::fromArgument(QStringLiteral("my page #1.html"), folder),
              QUrl::fromLocalFile(here.file(QStringLiteral("my page #1.html"))).toString(QUrl::FullyEncoded));
    EXPECT_TRUE(Address::fromArgument(QStringLiteral("my page #1.html"), folder).endsWith(QStringLiteral("/my%20page%20%231.html")));
    EXPECT_EQ(Address::fromArgument(QStringLiteral("./example.org"), folder),
              QUrl::fromLocalFile(here.file(QStringLiteral("example.org"))).toString(QUrl::FullyEncoded));
    // A path from the root opens as a file also when it is not there: the engine says so.
    EXPECT_EQ(Address::fromArgument(QStringLiteral("/no/such/page.html"), folder), QStringLiteral("file:///no/such/page.html"));
    EXPECT_EQ(Address::fromArgument(QStringLiteral("FILE:///tmp/x.html"), folder), QStringLiteral("FILE:///tmp/x.html"));
    EXPECT_EQ(Address::fromArgument(QStringLiteral("news.example.com/today"), folder),
              QStringLiteral("http://news.example.com/today"));
    EXPECT_EQ(Address::fromArgument(QStringLiteral("https://a.example/?q=1"), folder), QStringLiteral("https://a.example/?q=1"));
}
